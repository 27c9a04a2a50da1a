// Pictures in and out of the main window: Import Image (from a file, a dropped file or
// the clipboard), Export Image and Copy as Image.
#include "ui/Form1.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QTimer>

#include "ui/FileDialogs.h"
#include "ui/Messages.h"
#include "ui/Pictures.h"
#include "ui/tools/FormExportImage.h"
#include "ui/tools/FormImportImage.h"

using namespace kelmora;

namespace
{

constexpr int kBrowserColumns = 8; // Copy as Image draws the selection in rows as the browser does

} // namespace

void TForm1::Mnu_ImportImageClick()
{
    QFileDialog dialog(this);
    dialog.setObjectName(QStringLiteral("OpenDialog_Image"));
    dialog.setWindowTitle(QStringLiteral("Import Image"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("Pictures (*.png *.gif *.bmp)"), QStringLiteral("Any File (*.*)")});
    ListEveryFileForAnyFilter(&dialog);
    if (!ImageOpenPath.isEmpty()) dialog.setDirectory(QFileInfo(ImageOpenPath).absolutePath());
    if (dialog.exec() != QDialog::Accepted) return;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) return;
    ImageOpenPath = chosen.first();
    ImportPictureFile(ImageOpenPath);
}

bool TForm1::DropPicture(const QString& path)
{
    if (!IsPictureFileName(path)) return false;
    // The dialog opens after the drop has ended, so the desktop's drag never waits for it.
    QTimer::singleShot(0, this, [this, path] { ImportPictureFile(path); });
    return true;
}

void TForm1::ImportPictureFile(const QString& path)
{
    std::vector<RgbaImage> frames;
    QString reason;
    if (!ReadPictureFile(path, frames, reason))
    {
        FileMessage(this, QStringLiteral("File Error"),
                    QStringLiteral("Could not read ") + QDir::toNativeSeparators(path), reason);
        return;
    }
    ImportPicture(std::move(frames), QFileInfo(path).fileName());
}

void TForm1::ImportPicture(std::vector<RgbaImage> frames, const QString& name)
{
    TFormImportImage dialog(host(), this);
    dialog.SetPicture(std::move(frames), name);
    if (dialog.exec() != QDialog::Accepted) return;
    // The count may have risen: the quantity box and both scroll bars take it up.
    ApplySpriteQuantity();
    RefreshAll();
}

void TForm1::Mnu_ExportImageClick()
{
    TFormExportImage dialog(host(), this);
    dialog.exec();
}

void TForm1::Mnu_CopyImageClick()
{
    const QImage sheet = SelectionSheet(m_doc.bank, kBrowserColumns, 1, BaseArgb);
    if (!sheet.isNull()) QGuiApplication::clipboard()->setImage(sheet);
}

void TForm1::Mnu_PasteImageClick()
{
    const QImage image = QGuiApplication::clipboard()->image();
    if (image.isNull()) return;
    ImportPicture({ToRgbaImage(image)}, QStringLiteral("the clipboard's picture"));
}

void TForm1::ClipboardChanged()
{
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    Mnu_PasteImage->setEnabled(mime && mime->hasImage());
}
