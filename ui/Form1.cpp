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
#include <QPixmap>
#include <QRadioButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStatusBar>

#include "ui/Widgets.h"

using namespace kelmora;

namespace
{

constexpr int kStartSpriteCount = 32;

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

// The images live in the static ui library; make sure the linker keeps them.
static void InitResources()
{
    Q_INIT_RESOURCE(resources);
}

TForm1::TForm1(QWidget* parent) : TForm1(QCoreApplication::arguments().mid(1), parent) {}

TForm1::TForm1(const QStringList& arguments, QWidget* parent) : QMainWindow(parent)
{
    Construct(arguments);
}

TForm1::~TForm1()
{
    if (!m_closed) FormClose();
}

void TForm1::Construct(const QStringList& arguments)
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
    move(462, 127);
    setFixedSize(sizeHint().expandedTo(QSize(703, 0)));

    // 2. Files dropped from the desktop.
    setAcceptDrops(true);

    // 3. The seven cursors.
    for (const CursorImage& c : kCursorImages)
        Cursors.append(QCursor(QPixmap(QStringLiteral(":/cursors/%1.png").arg(QString::fromLatin1(c.file))),
                               c.hotX, c.hotY));

    // 4. Where the program's files are.
    LocateProgramFiles();

    // 5. The bank.
    m_spriteBlock.assign(kBlockBytes, 0);
    Bank.sprites = m_spriteBlock.data();
    Bank.spriteCount = kStartSpriteCount;

    // 6.
    ApplySpriteQuantity();

    // 7. The copy buffer.
    m_bufferBlock.assign(kBlockBytes, 0);
    Buffer.bufferSprites = m_bufferBlock.data();
    Buffer.bufferCount = 0;

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

void TForm1::LoadStartupFile(const QString& argument)
{
    // The name is taken relative to the folder the program was started from.
    const QString path = QFileInfo(QDir::current(), argument).absoluteFilePath();
    const QByteArray name = path.toUtf8();
    // A project file is never a valid raw file (3 + 64 n bytes), so one that the raw
    // loader refuses is tried as a project: opening a .kmd from the file manager works.
    if (LoadRawSprites(&Bank, name.constData()) != 1 && LoadProject(&Bank, name.constData()) != 1) return;
    SetFileName(argument);
    ResetUndo();
    UpDown1->setPosition(Bank.spriteCount);
    ApplySpriteQuantity();
}

void TForm1::RefreshAll()
{
    if (!Bank.sprites) return;

    // 1. The quantity box shows the sprite count.
    UpDown1->setPosition(Bank.spriteCount);

    // 2. The sprite scroll bar follows the current sprite; a change runs its handler,
    //    which collapses the range onto the current sprite and refreshes again.
    ScrollBar1->setValue(Bank.currentSprite);

    const int current = Bank.currentSprite;
    // 3.
    Chk_OverlayNext->setChecked(IsOverlay(Bank.sprites, current) == 1);

    // 4. Mode-dependent controls.
    const bool multicolour = IsMulticolour(Bank.sprites, current) == 1;
    Chk_MulticolourMode->setChecked(multicolour);
    Mnu_ColourMulti1->setEnabled(multicolour);
    Mnu_ColourMulti2->setEnabled(multicolour);
    Mnu_PixelColourSwap->menuAction()->setEnabled(multicolour);
    Mnu_PixelColourSwap->setEnabled(multicolour);
    if (!multicolour && (Bank.currentPen == 1 || Bank.currentPen == 3)) SelectPen(2);
    RadioColourMulti1->setVisible(multicolour);
    RadioColourMulti2->setVisible(multicolour);
    PanelColourMulti1->setVisible(multicolour);
    PanelColourMulti2->setVisible(multicolour);

    // 5. and 6.
    Mnu_Paste->setEnabled(Buffer.bufferCount > 0);
    Mnu_PasteInto->setEnabled(Buffer.bufferCount > 0);
    Mnu_PasteStyle->setEnabled(CopiedStyle != 255);

    // 7. and 8.
    const int colour = GetSpriteColour(Bank.sprites, current);
    if (colour >= 0) Bank.colourSprite = static_cast<u8>(colour);
    PanelColourTransp->setColour(ScreenColour(Bank.colourTransp));
    PanelColourSprite->setColour(ScreenColour(Bank.colourSprite));
    PanelColourMulti1->setColour(ScreenColour(Bank.colourMulti1));
    PanelColourMulti2->setColour(ScreenColour(Bank.colourMulti2));

    // 9.
    DrawPreview();
    DrawEditor();
    DrawBrowser();

    // 10.
    Mnu_Undo->setEnabled(HistoryPosition() >= 2);
    Mnu_Redo->setEnabled(HistoryTop() > HistoryPosition());
}

void TForm1::ApplySpriteQuantity()
{
    // A number typed into the box counts once this runs.
    UpDown1->syncFromAssociate();
    UpDown1->setPosition(UpDown1->position());
    // The box keeps 1..256, so the count and both scroll ranges stay valid even after a
    // load that found no whole sprite.
    Bank.spriteCount = UpDown1->position();

    const int browserRows = (Bank.spriteCount + 7) / 8;
    ScrollBar1->setRange(0, Bank.spriteCount - 1);
    ScrollBar_Browser->setRange(0, std::max(0, browserRows - 7));
}

void TForm1::ResetToNew()
{
    ClearBank(Bank.sprites);
    Bank.currentSprite = Bank.rangeStart = Bank.rangeEnd = 0;
    SelectPen(2);
    Bank.colourTransp = 11;
    Bank.colourMulti1 = 0;
    Bank.colourSprite = 5;
    Bank.colourMulti2 = 1;
    ScrollBar1->setValue(0);
    ScrollBar_Browser->setValue(0);
    SetFileName(QStringLiteral("Untitled.spr"));
    ResetUndo();
    RefreshAll();
}

void TForm1::ResetAfterLoad()
{
    Bank.currentSprite = Bank.rangeStart = Bank.rangeEnd = 0;
    SelectPen(2);
    ScrollBar1->setValue(0);
    ScrollBar_Browser->setValue(0);
    ResetUndo();
    RefreshAll();
}

void TForm1::ResetUndo()
{
    HistoryRelease();
    HistoryClear();
    HistoryPush(Bank.sprites);
    RefreshAll();
}

void TForm1::SetFileName(const QString& path)
{
    FileName = path;
    setWindowTitle(QStringLiteral("Kelmora - ") + QFileInfo(path).fileName());
    ProjectSavePath = path;
}

void TForm1::SelectPen(int pen)
{
    Bank.currentPen = pen;
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
            // Only digits are typed; keys without text (arrows, Home, End) still move the caret.
            if (!text.isEmpty() && !(text.size() == 1 && text.at(0).isDigit())) return true;
        }
    }
    else if (watched == centralWidget() && event->type() == QEvent::MouseMove)
    {
        // The pointer over the window's own background clears the status text.
        statusBar()->clearMessage();
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- Closing ----

bool TForm1::FormCloseQuery()
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Kelmora"), QStringLiteral("Really Quit?"),
                    QMessageBox::Ok | QMessageBox::Cancel, this);
    return box.exec() == QMessageBox::Ok;
}

void TForm1::FormClose()
{
    m_closed = true;
    for (QImage* image :
         {&SpriteBitmap, &PreviewFrame, &PreviewBitmap, &EditorBitmap, &BrowserFrame, &BrowserBitmap})
        *image = QImage();
    HistoryRelease();
    HistoryClear();
    m_bufferBlock.clear();
    m_bufferBlock.shrink_to_fit();
    Buffer = CopyBuffer{};
    m_spriteBlock.clear();
    m_spriteBlock.shrink_to_fit();
    Bank.sprites = nullptr;
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
    DropFile(urls.first().toLocalFile());
}
