// File commands of the main window and files dropped on it.
#include "ui/Form1.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

#include <algorithm>
#include <vector>

#include "ui/FileDialogs.h"
#include "ui/FileNames.h"
#include "ui/Messages.h"
#include "ui/Placement.h"
#include "ui/Settings.h"
#include "ui/tools/FormExportSprites.h"
#include "ui/tools/FormImportSprites.h"
#include "ui/tools/FormTextData.h"

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

} // namespace

void TForm1::Mnu_NewClick()
{
    // Unsaved changes get the question that can save them; otherwise the usual one.
    if (HasChanges(m_doc))
    {
        if (!MaySaveChanges()) return;
    }
    else
    {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Confirm"),
                        QStringLiteral("This will destroy all existing data, proceed?"),
                        QMessageBox::Yes | QMessageBox::No, this);
        if (box.exec() != QMessageBox::Yes) return;
    }
    ResetToNew();
}

void TForm1::Mnu_OpenClick()
{
    if (!MaySaveChanges()) return;
    if (!RunFileDialog(this, kOpenProject, ProjectOpenPath)) return;
    OpenProjectFile(ProjectOpenPath);
}

bool TForm1::OpenProjectFile(const QString& path)
{
    FileResult why;
    if (LoadProject(&m_doc.bank, CorePath(path).constData(), &why) != 1)
    {
        FileMessage(this, QStringLiteral("File Error"),
                    NamingFile(QStringLiteral("Invalid file size: "), path), ReasonText(why));
        return false;
    }
    const QString refused = ReadExtrasOf(path);
    ResetUndo();
    SetFileName(path);
    ApplySpriteQuantity();
    ResetAfterLoad();
    RememberRecentProject(path);
    MarkDocumentSaved();
    ReportRefusedSideFile(refused);
    return true;
}

void TForm1::DropFile(const QString& path)
{
    if (DropPicture(path)) return;
    if (!path.isEmpty()) OpenDroppedFile(CorePath(path));
}

void TForm1::OpenDroppedFile(const QByteArray& name)
{
    // A dropped file is taken as a project whatever its name. It is read aside first: a
    // refusal stays silent, and only a file that loads asks about unsaved changes.
    if (name.isEmpty()) return;
    std::vector<u8> block(kBlockBytes);
    SpriteBank loaded = m_doc.bank;
    loaded.sprites = block.data();
    if (LoadProject(&loaded, name.constData()) != 1) return;
    if (!MaySaveChanges()) return;
    std::copy(block.begin(), block.end(), m_doc.bank.sprites);
    m_doc.bank.spriteCount = loaded.spriteCount;
    m_doc.bank.colourTransp = loaded.colourTransp;
    m_doc.bank.colourMulti1 = loaded.colourMulti1;
    m_doc.bank.colourMulti2 = loaded.colourMulti2;
    const QString refused = ReadExtrasOf(ShownName(name));
    SetFileName(ShownName(name));
    ResetUndo();
    ApplySpriteQuantity();
    ResetAfterLoad();
    RememberRecentProject(ShownName(name));
    MarkDocumentSaved();
    ReportRefusedSideFile(refused);
}

QString TForm1::ProposedProjectPath() const
{
    // A project is offered under a project name, so a raw file's name (Untitled.spr,
    // walker.raw) is never proposed for it: the command-line tool would read such a file
    // as raw data.
    const QFileInfo last(ProjectSavePath);
    if (last.suffix().compare(QLatin1String("kmd"), Qt::CaseInsensitive) == 0) return ProjectSavePath;
    return QDir(last.path()).filePath(last.completeBaseName() + QStringLiteral(".kmd"));
}

bool TForm1::SaveProjectAs()
{
    QString chosen = ProposedProjectPath();
    if (!RunFileDialog(this, kSaveProject, chosen)) return false;
    ProjectSavePath = chosen;
    ProjectSaveFolder = QFileInfo(chosen).absolutePath();
    // The title keeps naming the file the bank last came from or went to unless it was written.
    if (!SaveProjectAndExtras(chosen)) return false;
    SetFileName(chosen);
    RememberRecentProject(chosen);
    MarkDocumentSaved();
    return true;
}

void TForm1::Mnu_SaveProjectClick()
{
    SaveProjectAs();
}

void TForm1::Import1Click()
{
    if (!MaySaveChanges()) return;
    TFormImport dialog(host(), this);
    PlaceWindow(&dialog, this, OverCorner(this));
    settings::RestorePosition(&dialog, QStringLiteral("import"));
    const int result = dialog.exec();
    settings::SavePosition(&dialog, QStringLiteral("import"));
    // Cancelled, the dialog has changed nothing: the title, the history and the bank stay.
    if (result != QDialog::Accepted) return;
    // The imported sprites start a new history under a new name, without the extras of
    // the project they replaced.
    ForgetExtras();
    ResetUndo();
    SetFileName(QStringLiteral("Untitled.spr"));
    ApplySpriteQuantity();
    ResetAfterLoad();
    MarkDocumentSaved();
}

void TForm1::Export1Click()
{
    TFormExport dialog(host(), this);
    PlaceWindow(&dialog, this, OverCorner(this));
    settings::RestorePosition(&dialog, QStringLiteral("export"));
    dialog.exec();
    settings::SavePosition(&dialog, QStringLiteral("export"));
}

void TForm1::LoadSpriteFile1Click()
{
    if (!MaySaveChanges()) return;
    if (!RunFileDialog(this, kOpenSeuck, SeuckOpenPath)) return;
    const QString path = SeuckOpenPath;
    FileResult why;
    if (ImportSprites(&m_doc.bank, CorePath(path).constData(), kFileAuto, kAttrSeuck, &why) != 1)
    {
        FileMessage(this, QStringLiteral("File Error"), NamingFile(QStringLiteral("Invalid file: "), path),
                    ReasonText(why));
        return;
    }
    ForgetExtras();
    ResetUndo();
    SetFileName(path);
    ApplySpriteQuantity();
    ResetAfterLoad();
    MarkDocumentSaved();
}

void TForm1::SaveSpriteFile1Click()
{
    if (m_doc.bank.spriteCount >= 128)
    {
        ShowMessage(this, QStringLiteral("Kelmora"),
                    QStringLiteral("SEUCK sprite files cannot exceed 127 sprites"));
        return;
    }
    if (!RunFileDialog(this, kSaveSeuck, SeuckSavePath)) return;
    FileResult why;
    if (SaveSeuckFile(&m_doc.bank, CorePath(SeuckSavePath).constData(), &why) != 1)
        ShowWriteError(SeuckSavePath, why);
}

void TForm1::Mnu_SaveBitmapClick()
{
    if (!RunFileDialog(this, kSaveBitmap, BitmapSavePath)) return;
    // The preview exactly as it was last drawn.
    const QImage& image = PreviewBitmap;
    int result = -1;
    FileResult why;
    if (!image.isNull() && image.depth() == 32)
        result = WriteBitmap32(CorePath(BitmapSavePath).constData(),
                               reinterpret_cast<const std::uint32_t*>(image.constBits()), image.width(),
                               image.height(), static_cast<int>(image.bytesPerLine() / 4), &why);
    if (result != 1) ShowWriteError(BitmapSavePath, why);
}

// Writes the selected range as a listing to the window's listing file and, when that
// worked, shows it in the user's viewer.
void TForm1::ViewTextData(int hex)
{
    const SpriteBank& bank = m_doc.bank;
    FileResult why;
    if (WriteTextListing(bank.sprites, bank.rangeStart, bank.rangeEnd, CorePath(TextDataPath).constData(),
                         hex, &why) != 1)
    {
        ShowWriteError(TextDataPath, why);
        return;
    }
    const bool opened = OpenDocument ? OpenDocument(TextDataPath)
                                     : QDesktopServices::openUrl(QUrl::fromLocalFile(TextDataPath));
    if (opened) return;
    // The desktop has no viewer for text files: the listing is shown here instead.
    QFile file(TextDataPath);
    if (!file.open(QIODevice::ReadOnly)) return;
    TFormTextData viewer(TextDataPath, file.readAll(), this);
    PlaceWindow(&viewer, this, OverCorner(this));
    viewer.exec();
}

void TForm1::Mnu_DecimalClick()
{
    ViewTextData(0);
}

void TForm1::Mnu_HexClick()
{
    ViewTextData(1);
}

void TForm1::ShowWriteError(const QString& path, const FileResult& why)
{
    FileMessage(this, QStringLiteral("File Error"), NamingFile(QStringLiteral("Could not write "), path),
                ReasonText(why));
}
