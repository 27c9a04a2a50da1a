// Listings: Tools > Export Listing... and File > Import Listing....
#include "ui/Form1.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStatusBar>

#include <algorithm>

#include "ui/FileDialogs.h"
#include "ui/Messages.h"
#include "ui/Settings.h"
#include "ui/Widgets.h"
#include "ui/tools/FormExportListing.h"

using namespace kelmora;

namespace
{

constexpr std::uint64_t kMostListingBytes = 64ull << 20; // far above any listing of 256 sprites
const QString kImportFolderKey = QStringLiteral("importListing/folder");

} // namespace

void TForm1::Mnu_ExportListingClick()
{
    TFormExportListing dialog(host(), this);
    settings::RestorePosition(&dialog, QStringLiteral("exportListing"));
    dialog.exec();
    settings::SavePosition(&dialog, QStringLiteral("exportListing"));
}

void TForm1::Mnu_ImportListingClick()
{
    QFileDialog dialog(this);
    dialog.setObjectName(QStringLiteral("OpenDialog_Listing"));
    dialog.setWindowTitle(QStringLiteral("Import Listing"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("Listings (*.asm *.s *.a *.inc *.i *.h *.c *.bas *.prg *.txt)"),
                           QStringLiteral("Any File (*.*)")});
    ListEveryFileForAnyFilter(&dialog);
    const QString folder = settings::Value(kImportFolderKey).toString();
    if (!folder.isEmpty()) dialog.setDirectory(folder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString path = dialog.selectedFiles().first();
    settings::SetValue(kImportFolderKey, QFileInfo(path).absolutePath());

    // The whole listing is read and checked before anything changes.
    std::vector<u8> file;
    FileResult why;
    if (ReadWholeFile(path.toUtf8().constData(), kMostListingBytes, file, &why) != ReadStatus::Ok)
    {
        FileMessage(this, QStringLiteral("File Error"), NamingFile(QStringLiteral("Could not read "), path),
                    ReasonText(why));
        return;
    }
    const ListingReadResult read = ReadListing(file, 0);
    if (read.problem != ListingReadProblem::None)
    {
        FileMessage(this, QStringLiteral("Import Listing"),
                    NamingFile(QStringLiteral("Not imported: "), path),
                    QString::fromStdString(ListingReadProblemText(read)));
        return;
    }
    // The sprites come in from the current sprite on.
    SpriteBank& bank = m_doc.bank;
    const int at = std::clamp(bank.currentSprite, 0, kSlotCount - 1);
    const int count = read.spriteCount;
    if (at + count > kSlotCount)
    {
        ShowMessage(
            this, QStringLiteral("Import Listing"),
            QStringLiteral("The listing holds %1 sprites, and from sprite %2 on there is room for only "
                           "%3. Choose an earlier sprite first.")
                .arg(count)
                .arg(at)
                .arg(kSlotCount - at));
        return;
    }
    std::copy(read.sprites.begin(), read.sprites.end(), bank.sprites + at * kSpriteBytes);
    ReplaceSpriteNames(m_doc.extras, at, read.names);

    // Quantity rises to hold them, and they are selected.
    const int before = bank.spriteCount;
    if (at + count > before)
    {
        UpDown1->setPosition(at + count);
        ApplySpriteQuantity();
    }
    bank.currentSprite = bank.rangeStart = at;
    bank.rangeEnd = at + count - 1;
    RecordUndoStep(m_doc);
    RefreshAll();

    QString text =
        count == 1
            ? QStringLiteral("Imported 1 sprite into sprite %1").arg(at)
            : QStringLiteral("Imported %1 sprites into sprites %2-%3").arg(count).arg(at).arg(at + count - 1);
    if (bank.spriteCount > before)
        text +=
            QStringLiteral("; Quantity raised from %1 to %2 to hold them").arg(before).arg(bank.spriteCount);
    statusBar()->showMessage(text + QLatin1Char('.'));
}
