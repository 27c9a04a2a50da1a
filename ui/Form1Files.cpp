// File commands of the main window and files dropped on it.
#include "ui/Form1.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

#include "ui/FileDialogs.h"
#include "ui/tools/FormExportSprites.h"
#include "ui/tools/FormImportSprites.h"

using namespace kelmora;

namespace
{

// How one of the window's file dialogs is set up.
struct FileDialogSetup
{
    const char* objectName;
    const char* title;
    QStringList filters;
    const char* defaultSuffix;
    bool save;
    bool confirmOverwrite;
};

const FileDialogSetup kOpenProject{
    "OpenDialog_Project",
    "Open Project",
    {QStringLiteral("Kelmora Project (*.kmd)"), QStringLiteral("Any file (*.*)")},
    "kmd",
    false,
    false};
const FileDialogSetup kSaveProject{
    "SaveDialog_Project",
    "Save Project",
    {QStringLiteral("Kelmora Projects (*.kmd)"), QStringLiteral("Any file (*.*)")},
    "kmd",
    true,
    true};
const FileDialogSetup kOpenSeuck{
    "OpenDialog_SEUCK",
    "Load SEUCK Sprite File",
    {QStringLiteral("SEUCK Sprite Files (*.a)"), QStringLiteral("Any File (*.*)")},
    "a",
    false,
    false};
const FileDialogSetup kSaveSeuck{
    "SaveDialog_SEUCK",
    "Save SEUCK Sprite File",
    {QStringLiteral("SEUCK Sprite Files (*.a)"), QStringLiteral("Any File (*.*)")},
    "a",
    true,
    true};
const FileDialogSetup kSaveBitmap{
    "SaveDialog_Bitmaps", "Save Bitmap", {QStringLiteral("Windows Bitmaps (*.bmp)")}, "bmp", true, false};

// Runs a file dialog that proposes the folder and name in remembered. On acceptance
// the chosen file is stored back into remembered (so the next use starts there) and
// true is returned; a cancelled dialog changes nothing.
bool RunFileDialog(QWidget* parent, const FileDialogSetup& setup, QString& remembered)
{
    QFileDialog dialog(parent);
    dialog.setObjectName(QString::fromLatin1(setup.objectName));
    dialog.setWindowTitle(QString::fromLatin1(setup.title));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(setup.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(setup.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !setup.confirmOverwrite);
    dialog.setNameFilters(setup.filters);
    dialog.setDefaultSuffix(QString::fromLatin1(setup.defaultSuffix));
    ListEveryFileForAnyFilter(&dialog);
    const QFileInfo proposed(remembered);
    dialog.setDirectory(proposed.absolutePath());
    dialog.selectFile(proposed.fileName());
    if (dialog.exec() != QDialog::Accepted) return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) return false;
    remembered = chosen.first();
    return true;
}

void ShowMessage(QWidget* parent, const QString& text, const QString& caption)
{
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

QByteArray Utf8(const QString& path)
{
    return path.toUtf8();
}

} // namespace

void TForm1::Mnu_NewClick()
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Confirm"),
                    QStringLiteral("This will destroy all existing data, proceed?"),
                    QMessageBox::Yes | QMessageBox::No, this);
    if (box.exec() != QMessageBox::Yes) return;
    ResetToNew();
}

void TForm1::Mnu_OpenClick()
{
    if (!RunFileDialog(this, kOpenProject, ProjectOpenPath)) return;
    const QString path = ProjectOpenPath;
    if (LoadProject(&m_doc.bank, Utf8(path).constData()) != 1)
    {
        ShowMessage(this, QStringLiteral("Invalid file size"), QStringLiteral("File Error"));
        return;
    }
    ResetUndo();
    SetFileName(path);
    ApplySpriteQuantity();
    ResetAfterLoad();
}

void TForm1::DropFile(const QString& path)
{
    if (DropPicture(path)) return;
    // A dropped file is taken as a project whatever its name; a refusal is silent.
    if (path.isEmpty() || LoadProject(&m_doc.bank, Utf8(path).constData()) != 1) return;
    SetFileName(path);
    ResetUndo();
    ApplySpriteQuantity();
    ResetAfterLoad();
}

void TForm1::Mnu_SaveProjectClick()
{
    QString chosen = ProjectSavePath;
    if (!RunFileDialog(this, kSaveProject, chosen)) return;
    ProjectSavePath = chosen;
    if (SaveProject(&m_doc.bank, Utf8(chosen).constData()) != 1)
    {
        // The title keeps naming the file the bank last came from or went to.
        ShowWriteError(chosen);
        return;
    }
    SetFileName(chosen);
}

void TForm1::Import1Click()
{
    TFormImport dialog(host(), this);
    dialog.exec();
    // Whether a file came in or not, the bank starts a new history under a new name.
    ResetUndo();
    SetFileName(QStringLiteral("Untitled.spr"));
    ApplySpriteQuantity();
    ResetAfterLoad();
}

void TForm1::Export1Click()
{
    TFormExport dialog(host(), this);
    dialog.exec();
}

void TForm1::LoadSpriteFile1Click()
{
    if (!RunFileDialog(this, kOpenSeuck, SeuckOpenPath)) return;
    const QString path = SeuckOpenPath;
    if (ImportSprites(&m_doc.bank, Utf8(path).constData(), kFileAuto, kAttrSeuck) != 1)
    {
        ShowMessage(this, QStringLiteral("Invalid file"), QStringLiteral("File Error"));
        return;
    }
    ResetUndo();
    SetFileName(path);
    ApplySpriteQuantity();
    ResetAfterLoad();
}

void TForm1::SaveSpriteFile1Click()
{
    if (m_doc.bank.spriteCount >= 128)
    {
        ShowMessage(this, QStringLiteral("SEUCK sprite files cannot exceed 127 sprites"),
                    QStringLiteral("Kelmora"));
        return;
    }
    if (!RunFileDialog(this, kSaveSeuck, SeuckSavePath)) return;
    if (SaveSeuckFile(&m_doc.bank, Utf8(SeuckSavePath).constData()) != 1) ShowWriteError(SeuckSavePath);
}

void TForm1::Mnu_SaveBitmapClick()
{
    if (!RunFileDialog(this, kSaveBitmap, BitmapSavePath)) return;
    // The preview exactly as it was last drawn.
    const QImage& image = PreviewBitmap;
    int result = -1;
    if (!image.isNull() && image.depth() == 32)
        result = WriteBitmap32(Utf8(BitmapSavePath).constData(),
                               reinterpret_cast<const std::uint32_t*>(image.constBits()), image.width(),
                               image.height(), static_cast<int>(image.bytesPerLine() / 4));
    if (result != 1) ShowWriteError(BitmapSavePath);
}

// Writes the selected range as a listing to the window's listing file and, when that
// worked, shows it in the user's viewer.
void TForm1::ViewTextData(int hex)
{
    const SpriteBank& bank = m_doc.bank;
    if (WriteTextListing(bank.sprites, bank.rangeStart, bank.rangeEnd, Utf8(TextDataPath).constData(), hex) !=
        1)
    {
        ShowWriteError(TextDataPath);
        return;
    }
    if (OpenDocument)
        OpenDocument(TextDataPath);
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(TextDataPath));
}

void TForm1::Mnu_DecimalClick()
{
    ViewTextData(0);
}

void TForm1::Mnu_HexClick()
{
    ViewTextData(1);
}

void TForm1::ShowWriteError(const QString& path)
{
    ShowMessage(this, QStringLiteral("Could not write ") + QDir::toNativeSeparators(path),
                QStringLiteral("File Error"));
}
