// The main window: start-up, the state it owns, the quantity box and closing.
#include "ui/Form1.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPixmap>
#include <QRadioButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>

#include "ui/FileNames.h"
#include "ui/Messages.h"
#include "ui/Placement.h"
#include "ui/Widgets.h"

using namespace kelmora;

// The main window's side of the interface tool windows are given.
class TForm1Host final : public TEditorHost
{
  public:
    explicit TForm1Host(TForm1& window) : TEditorHost(&window), m_window(window) {}

    kelmora::Document& document() override { return m_window.m_doc; }
    const std::uint32_t* viewColours() const override { return m_window.BaseArgb; }
    void documentChanged(bool undoStep) override
    {
        if (undoStep) RecordUndoStep(m_window.m_doc);
        m_window.RefreshAll();
    }
    void documentReplaced() override { m_window.ResetAfterLoad(); }
    void showSprite(int index) override { m_window.ShowSprite(index); }
    bool toolBarFlat() const override { return m_window.Mnu_ToolBar_Flat->isChecked(); }
    void showHint(const QString& text) override { m_window.statusBar()->showMessage(text); }
    std::vector<kelmora::NamedPalette> knownPalettes() const override
    {
        std::vector<kelmora::NamedPalette> palettes{kelmora::NamedPalette{kelmora::kBuiltInPaletteName, {}}};
        std::copy(std::begin(kelmora::kBuiltInPalette), std::end(kelmora::kBuiltInPalette),
                  palettes.front().colours);
        palettes.insert(palettes.end(), m_window.LoadedPalettes.begin(), m_window.LoadedPalettes.end());
        return palettes;
    }

    Tool currentTool() const override
    {
        return m_window.Btn_Flood->isChecked()    ? Tool::FloodFill
               : m_window.Btn_Brush2->isChecked() ? Tool::Brush2
                                                  : Tool::Brush1;
    }

  private:
    TForm1& m_window;
};

namespace
{

// The cursors registered as numbers 1 to 7, with their hot spots.
struct CursorImage
{
    const char* file;
    int hotX;
    int hotY;
};
constexpr CursorImage kCursorImages[] = {
    {"cur_paint", 0, 0},  {"cur_flood", 6, 30}, {"cur_scroll", 15, 15}, {"cur_stamp", 15, 30},
    {"cur_drop", 15, 30}, {"cur_point", 8, 0},  {"cur_marker", 0, 31},
};

} // namespace

// The arguments as the store opens file names.
static QList<QByteArray> CorePaths(const QStringList& arguments)
{
    QList<QByteArray> paths;
    for (const QString& argument : arguments)
        paths << CorePath(argument);
    return paths;
}

// The images live in the static ui library; make sure the linker keeps them.
static void InitResources()
{
    Q_INIT_RESOURCE(resources);
}

TForm1::TForm1(QWidget* parent) : TForm1(QCoreApplication::arguments().mid(1), parent) {}

TForm1::TForm1(const QStringList& arguments, QWidget* parent) : TForm1(CorePaths(arguments), parent) {}

TForm1::TForm1(const QList<QByteArray>& arguments, QWidget* parent) : QMainWindow(parent)
{
    m_host = new TForm1Host(*this);
    Construct(arguments);
}

TEditorHost& TForm1::host()
{
    return *m_host;
}

const TEditorHost& TForm1::host() const
{
    return *m_host;
}

TForm1::~TForm1()
{
    if (!m_closed) FormClose();
}

void TForm1::Construct(const QList<QByteArray>& arguments)
{
    InitResources();

    // 1. The window and its controls.
    setObjectName(QStringLiteral("Form1"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    CreateControls();
    CreateMenu();
    CreateToolBar();
    FitControlsToText();
    CreateKeys();
    setFixedSize(sizeHint().expandedTo(QSize(703, 0)));
    PlaceWindow(this, this, QPoint(462, 127));

    // 2. Files dropped from the desktop.
    setAcceptDrops(true);

    // 3. The seven cursors.
    for (const CursorImage& c : kCursorImages)
        Cursors.append(QCursor(QPixmap(QStringLiteral(":/cursors/%1.png").arg(QString::fromLatin1(c.file))),
                               c.hotX, c.hotY));

    // 4. Where the program's files are.
    LocateProgramFiles();

    // 5. The document starts with 32 sprites in use and an empty copy buffer.
    // 6.
    ApplySpriteQuantity();

    // 8. The off-screen views.
    SpriteBitmap = QImage(24, 21, QImage::Format_RGB32);
    PreviewFrame = QImage(34, 31, QImage::Format_RGB32);
    PreviewBitmap = QImage(68, 62, QImage::Format_RGB32);
    EditorBitmap = QImage(192, 168, QImage::Format_RGB32);
    BrowserFrame = QImage(192, 147, QImage::Format_RGB32);
    BrowserBitmap = QImage(384, 294, QImage::Format_RGB32);
    for (QImage* image :
         {&SpriteBitmap, &PreviewFrame, &PreviewBitmap, &EditorBitmap, &BrowserFrame, &BrowserBitmap})
        image->fill(Qt::black);

    // 9.
    ResetToNew();

    // 10. The built-in palette, then 11. the palettes of the palette file.
    SetPalette(kBuiltInPalette);
    const QString paletteFile = FindPaletteFile(ProgramDir);
    if (!paletteFile.isEmpty()) LoadPaletteFile(paletteFile);

    // What the user chose in earlier runs.
    LoadSettings();

    // 12. A raw sprite file named on the command line.
    if (arguments.size() == 1) LoadStartupFile(arguments.first());

    // 13.
    RefreshAll();
}

void TForm1::LocateProgramFiles()
{
    ProgramDir = QCoreApplication::applicationDirPath();
    // The listing goes beside the program in a portable install (a writable folder of
    // its own), otherwise into the user's own data folder. An installed program
    // (bin/ beside share/kelmora/) never writes into its bin folder, even as root.
    QString listingDir = ProgramDir;
    const bool installed = QFileInfo(QDir(ProgramDir).filePath(QStringLiteral("../share/kelmora"))).isDir();
    if (installed || !QFileInfo(ProgramDir).isWritable())
    {
        listingDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QDir().mkpath(listingDir);
    }
    TextDataPath = QDir(listingDir).filePath(QStringLiteral("spritedata.txt"));
}

QString TForm1::FindPaletteFile(const QString& programDir)
{
    const QString beside = QDir(programDir).filePath(QStringLiteral("palettes.pal"));
    if (QFileInfo(beside).isFile()) return beside;
    return QStandardPaths::locate(QStandardPaths::AppDataLocation, QStringLiteral("palettes.pal"));
}

void TForm1::LoadStartupFile(const QByteArray& argument)
{
    // The name is opened as the bytes it came as (a name that is no valid text in the
    // system's encoding opens too), relative to the folder the program was started from.
    const QString shown = ShownName(argument);
    // A project file is never a valid raw file (3 + 64 n bytes), so one that the raw
    // loader refuses is tried as a project: opening a .kmd from the file manager works.
    FileResult rawWhy, projectWhy;
    const bool raw = LoadRawSprites(&m_doc.bank, argument.constData(), &rawWhy) == 1;
    if (!raw && LoadProject(&m_doc.bank, argument.constData(), &projectWhy) != 1)
    {
        // A file of neither size is told as the project reader tells it; any other refusal
        // (missing, unreadable) as the first reader found it.
        const QString reason = ReasonText(rawWhy.error == FileError::WrongSize ? projectWhy : rawWhy);
        // Said once the window shows, over it; the editor then starts with the new bank.
        QTimer::singleShot(
            0, this,
            [this, shown, reason]
            {
                FileMessage(this, QStringLiteral("File Error"),
                            QStringLiteral("Could not open ") + QDir::toNativeSeparators(shown), reason);
            });
        return;
    }
    const QString path = QFileInfo(QDir::current(), shown).absoluteFilePath();
    const QString refused = raw ? QString() : ReadExtrasOf(path);
    SetFileName(path);
    ResetUndo();
    UpDown1->setPosition(m_doc.bank.spriteCount);
    ApplySpriteQuantity();
    MarkDocumentSaved();
    if (!raw) RememberRecentProject(path); // as when it is opened from the menu
    ReportRefusedSideFile(refused, true);
}

void TForm1::RefreshAll()
{
    if (m_closed) return;

    // 1. The quantity box shows the sprite count.
    UpDown1->setPosition(m_doc.bank.spriteCount);

    // 2. The sprite scroll bar follows the current sprite; a change runs its handler,
    //    which collapses the range onto the current sprite and refreshes again.
    ScrollBar1->setValue(m_doc.bank.currentSprite);

    const int current = m_doc.bank.currentSprite;
    // 3.
    Chk_OverlayNext->setChecked(IsOverlay(m_doc.bank.sprites, current) == 1);

    // 4. Mode-dependent controls.
    const bool multicolour = IsMulticolour(m_doc.bank.sprites, current) == 1;
    Chk_MulticolourMode->setChecked(multicolour);
    Mnu_ColourMulti1->setEnabled(multicolour);
    Mnu_ColourMulti2->setEnabled(multicolour);
    Mnu_PixelColourSwap->menuAction()->setEnabled(multicolour);
    Mnu_PixelColourSwap->setEnabled(multicolour);
    if (!multicolour && (m_doc.bank.currentPen == 1 || m_doc.bank.currentPen == 3)) SelectPen(2);
    RadioColourMulti1->setVisible(multicolour);
    RadioColourMulti2->setVisible(multicolour);
    PanelColourMulti1->setVisible(multicolour);
    PanelColourMulti2->setVisible(multicolour);

    // 5. and 6.
    Mnu_Paste->setEnabled(m_doc.buffer.bufferCount > 0);
    Mnu_PasteInto->setEnabled(m_doc.buffer.bufferCount > 0);
    Mnu_PasteStyle->setEnabled(m_doc.copiedStyle != 255);

    // 7. and 8.
    const int colour = GetSpriteColour(m_doc.bank.sprites, current);
    if (colour >= 0) m_doc.bank.colourSprite = static_cast<u8>(colour);
    PanelColourTransp->setColour(ScreenColour(m_doc.bank.colourTransp));
    PanelColourSprite->setColour(ScreenColour(m_doc.bank.colourSprite));
    PanelColourMulti1->setColour(ScreenColour(m_doc.bank.colourMulti1));
    PanelColourMulti2->setColour(ScreenColour(m_doc.bank.colourMulti2));

    // 9.
    DrawPreview();
    DrawEditor();
    DrawBrowser();

    // 10.
    Mnu_Undo->setEnabled(CanUndo(m_doc));
    Mnu_Redo->setEnabled(CanRedo(m_doc));
    ShowSpriteName();

    // Every change ends here, so the title's mark follows every one of them.
    UpdateModifiedMark();

    emit m_host->viewsRefreshed();
}

void TForm1::ShowSprite(int index)
{
    SpriteBank& bank = m_doc.bank;
    index = std::clamp(index, 0, std::clamp(bank.spriteCount, 1, kSlotCount) - 1);
    bank.currentSprite = bank.rangeStart = bank.rangeEnd = index;
    // The two check boxes that steer the views follow the sprite shown, so an overlay
    // pair is drawn as one picture; setting them runs none of their handlers.
    Chk_OverlayNext->setChecked(IsOverlay(bank.sprites, index) == 1);
    Chk_MulticolourMode->setChecked(IsMulticolour(bank.sprites, index) == 1);
    DrawPreview();
    DrawEditor();
    DrawBrowser();
    FollowCurrentSprite();
    ShowSpriteName();
}

void TForm1::ApplySpriteQuantity()
{
    // A number typed into the box counts once this runs.
    UpDown1->syncFromAssociate();
    UpDown1->setPosition(UpDown1->position());
    // The box keeps 1..256, so the count and both scroll ranges stay valid even after a
    // load that found no whole sprite.
    m_doc.bank.spriteCount = UpDown1->position();
    // The selection and the current sprite stay within the sprites in use, so no range
    // command reaches sprites the user no longer sees.
    const int last = m_doc.bank.spriteCount - 1;
    m_doc.bank.rangeStart = std::min(m_doc.bank.rangeStart, last);
    m_doc.bank.rangeEnd = std::min(m_doc.bank.rangeEnd, last);
    m_doc.bank.currentSprite = std::min(m_doc.bank.currentSprite, last);

    const int browserRows = (m_doc.bank.spriteCount + 7) / 8;
    ScrollBar1->setRange(0, m_doc.bank.spriteCount - 1);
    ScrollBar_Browser->setRange(0, std::max(0, browserRows - 7));
}

void TForm1::ResetToNew()
{
    ResetDocument(m_doc);
    ForgetSideFile();
    SelectPen(2);
    ScrollBar1->setValue(0);
    ScrollBar_Browser->setValue(0);
    SetFileName(QStringLiteral("Untitled.spr"));
    ResetUndo();
    RefreshAll();
}

void TForm1::ResetAfterLoad()
{
    m_doc.bank.currentSprite = m_doc.bank.rangeStart = m_doc.bank.rangeEnd = 0;
    SelectPen(2);
    ScrollBar1->setValue(0);
    ScrollBar_Browser->setValue(0);
    ResetUndo();
    RefreshAll();
}

void TForm1::ResetUndo()
{
    RestartHistory(m_doc);
    RefreshAll();
}

void TForm1::SetFileName(const QString& path)
{
    FileName = path;
    // "[*]" is where the desktop's mark of unsaved changes goes; a name that holds those
    // three characters itself has them doubled, which shows them once.
    QString shown = QFileInfo(path).fileName();
    shown.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(QStringLiteral("Kelmora - ") + shown + QStringLiteral("[*]"));
    // A bare name ("Untitled.spr" after New or Import) keeps the folder the project
    // dialog last used; taken alone it would stand for the process's current folder.
    if (QFileInfo(path).fileName() == path)
        ProjectSavePath = QFileInfo(ProjectSavePath).absoluteDir().filePath(path);
    else
        ProjectSavePath = path;
}

void TForm1::SelectPen(int pen)
{
    m_doc.bank.currentPen = pen;
    QRadioButton* radio = pen == 0   ? RadioColourTransp
                          : pen == 1 ? RadioColourMulti1
                          : pen == 3 ? RadioColourMulti2
                                     : RadioColourSprite;
    QAction* item = pen == 0   ? Mnu_ColourTransp
                    : pen == 1 ? Mnu_ColourMulti1
                    : pen == 3 ? Mnu_ColourMulti2
                               : Mnu_ColourSprite;
    radio->setChecked(true);
    item->setChecked(true);
}

// ---- The quantity box ----

void TForm1::Edit2KeyPress(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return;
    if (Edit2->text().length() > 3) Edit2->setText(QStringLiteral("256"));
    bool ok = false;
    const int value = Edit2->text().toInt(&ok);
    if (!ok)
    {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Kelmora"),
                        QStringLiteral("'%1' is not a valid integer value.").arg(Edit2->text()),
                        QMessageBox::Ok, this);
        box.exec();
        return;
    }
    if (value <= 0)
        Edit2->setText(QStringLiteral("1"));
    else if (value > 256)
        Edit2->setText(QStringLiteral("256"));
    ApplySpriteQuantity();
    RefreshAll();
}

void TForm1::UpDown1Click()
{
    ApplySpriteQuantity();
    RefreshAll();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Edit2)
    {
        if (event->type() == QEvent::ShortcutOverride)
        {
            // Menu shortcuts win over the box's own editing keys (Del clears sprites,
            // Ctrl+C copies sprites) while it has the focus.
            auto* key = static_cast<QKeyEvent*>(event);
            const bool command = key->key() == Qt::Key_Delete ||
                                 (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) ||
                                 (key->key() >= Qt::Key_F1 && key->key() <= Qt::Key_F35);
            if (command)
            {
                event->ignore();
                return true;
            }
        }
        else if (event->type() == QEvent::KeyPress)
        {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            {
                Edit2KeyPress(key->key());
                return true;
            }
            if (key->key() == Qt::Key_Backspace) return false;
            const QString text = key->text();
            // Only the digits 0 to 9 are typed (not those of other scripts, which the number
            // would not take); keys without text (arrows, Home, End) still move the caret.
            const bool digit =
                text.size() == 1 && text.at(0) >= QLatin1Char('0') && text.at(0) <= QLatin1Char('9');
            if (!text.isEmpty() && !digit) return true;
        }
    }
    else if (watched == centralWidget() && event->type() == QEvent::MouseMove)
    {
        // The pointer over the window's own background clears the status text. Moves over
        // a control without mouse tracking (the check boxes) are passed on to the
        // background too; those keep the control's hint.
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (!centralWidget()->childAt(at)) statusBar()->clearMessage();
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- Closing ----

bool TForm1::FormCloseQuery()
{
    // Unsaved changes get the question that can save them; otherwise the usual one.
    if (HasChanges(m_doc)) return MaySaveChanges();
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Kelmora"), QStringLiteral("Really Quit?"),
                    QMessageBox::Ok | QMessageBox::Cancel, this);
    return box.exec() == QMessageBox::Ok;
}

void TForm1::FormClose()
{
    SaveSettings();
    m_closed = true;
    for (QImage* image :
         {&SpriteBitmap, &PreviewFrame, &PreviewBitmap, &EditorBitmap, &BrowserFrame, &BrowserBitmap})
        *image = QImage();
    // The undo states are the bulk of what the window holds; the document itself goes
    // with the window.
    HistoryClear(m_doc.history);
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (m_closed)
    {
        event->accept();
        return;
    }
    if (!FormCloseQuery())
    {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TForm1::Mnu_ExitClick()
{
    close();
}

// ---- Dropped files ----

void TForm1::dragEnterEvent(QDragEnterEvent* event)
{
    const QMimeData* mime = event->mimeData();
    if (mime->hasUrls() && !mime->urls().isEmpty() && mime->urls().first().isLocalFile())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) return;
    event->acceptProposedAction();
    // Opened once the drop has finished: the file may ask about unsaved changes, and the
    // desktop's drag should not wait for that answer. The name keeps the bytes the URL
    // holds, so a name that is no valid text opens too.
    const QByteArray name = LocalFileBytes(urls.first());
    // A picture opens Import Image (also once the drop has finished).
    if (DropPicture(ShownName(name))) return;
    QTimer::singleShot(0, this, [this, name] { OpenDroppedFile(name); });
}
