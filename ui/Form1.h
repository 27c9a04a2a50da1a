// The main window: holds one document (the sprite bank, the copy buffer and the undo
// history), the active palette and the views, and runs every command of the editor.
// Tool windows reach it only through its TEditorHost.
//
// The window is split by concern over several source files:
//   Form1.cpp          construction, state operations, quantity box, closing
//   Form1Layout.cpp    controls, menu and tool bar
//   Form1Fit.cpp       the controls fitted to the font and scale
//   Form1Settings.cpp  what is remembered between runs, recent projects
//   Form1Keys.cpp      keys and wheel that move through the sprites, more shortcuts
//   Form1Views.cpp     palettes and the four views
//   Form1Editing.cpp   mouse tools, pens, palette picking, browser selection, flags
//   Form1Commands.cpp  edit, transform and range commands
//   Form1Files.cpp     file commands and dropped files
//   Form1Tools.cpp     the commands that open the tool windows
//   Form1Changes.cpp   unsaved changes: the title's mark and the question before they are lost
//   Form1Pictures.cpp  pictures in and out: Import Image, Export Image and the clipboard
//   Form1Names.cpp     sprite names: naming, the status bar and the browser's tool tip
//   Form1Listings.cpp  Export Listing and Import Listing
//   Form1Sequences.cpp the project's side file, the Sequences window and the onion skin
//   Form1Objects.cpp   the object editor kept beside the window
#pragma once

#include <QByteArray>
#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QList>
#include <QMainWindow>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

#include "core/Palette.h"
#include "core/SpriteBankStore.h"
#include "ui/EditorHost.h"

class QAction;
class QActionGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;
class QScrollBar;
class QToolBar;
class TColourPanel;
class TForm1Host;
class TFormSequences;
class TPaintBox;
class TUpDown;

class TForm1 : public QMainWindow
{
    Q_OBJECT
  public:
    // Takes the start-up file from the application's command line.
    explicit TForm1(QWidget* parent = nullptr);
    // arguments: the command-line arguments after the program name.
    explicit TForm1(const QStringList& arguments, QWidget* parent = nullptr);
    // The same with the arguments as the system gave them: a file name is opened as these
    // bytes, whatever the system's encoding makes of them.
    explicit TForm1(const QList<QByteArray>& arguments, QWidget* parent = nullptr);
    ~TForm1() override;

    // ---- What tool windows and tests use ----
    // The document this window edits, and the interface tool windows are given.
    kelmora::Document& document() { return m_doc; }
    const kelmora::Document& document() const { return m_doc; }
    TEditorHost& host();
    const TEditorHost& host() const;
    // Redraws every view and sets every control from the document.
    void RefreshAll();
    // Reads a palettes.pal file and adds its palettes to the Colour Palette menu;
    // returns how many were added.
    int LoadPaletteFile(const QString& path);
    // The palettes.pal to read at start-up: beside the program, then in the user's and
    // the system's data folders. Empty when there is none.
    static QString FindPaletteFile(const QString& programDir);
    // The name last given to the document (shown in the title); SetFileName names it.
    QString fileName() const { return FileName; }
    void SetFileName(const QString& path);
    // The listing file View Text Data writes.
    QString textDataPath() const { return TextDataPath; }
    void SetTextDataPath(const QString& path) { TextDataPath = path; }
    // The colour number at a point of the palette strip, in the order in force; -1 outside.
    int ColourAtStripPoint(int x, int y) const;
    // Opens a written listing in the user's viewer and tells whether it could; empty means
    // the desktop's default viewer. When it cannot, the window shows the listing itself.
    // Tests put a recorder here.
    std::function<bool(const QString&)> OpenDocument;

  public slots:
    // ---- Start-up and main window state ----
    void Edit2KeyPress(int key);
    void UpDown1Click();
    void ScrollBar1Change(int position);
    void ScrollBar_BrowserChange(int position);
    void CkShowGridClick();
    void CkShowCrossClick();
    void Mnu_DoubleScanClick();

    // ---- Palettes ----
    void PalVantorClick();
    void PaletteItemClick(QAction* sender);
    void Mnu_PalOrderStandardClick();
    void Mnu_PalOrderLumPairsClick();

    // ---- Editing tools ----
    void PaintBox_EditorMouseDown(Qt::MouseButton button, Qt::MouseButtons buttons,
                                  Qt::KeyboardModifiers modifiers, int x, int y);
    void PaintBox_EditorMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void PaintBox_EditorMouseUp(Qt::MouseButton button, Qt::MouseButtons buttons,
                                Qt::KeyboardModifiers modifiers, int x, int y);
    void PaintBox_BrowserMouseDown(Qt::MouseButton button, Qt::MouseButtons buttons,
                                   Qt::KeyboardModifiers modifiers, int x, int y);
    void PaintBox_BrowserMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void PaintBox_PaletteMouseDown(Qt::MouseButton button, Qt::MouseButtons buttons,
                                   Qt::KeyboardModifiers modifiers, int x, int y);
    void PaintBox_PaletteMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void RadioColourTranspClick();
    void RadioColourSpriteClick();
    void RadioColourMulti1Click();
    void RadioColourMulti2Click();
    void Chk_MulticolourModeClick();
    void Chk_OverlayNextClick();

    // ---- Edit, transform and range commands ----
    void Mnu_SelectAllClick();
    void Mnu_ClearClick();
    void Mnu_CutClick();
    void Mnu_CopyClick();
    void Mnu_PasteClick();
    void Mnu_PasteIntoClick();
    void Mnu_CopyStyleClick();
    void Mnu_PasteStyleClick();
    void Mnu_SlideUpClick();
    void Mnu_SlideDownClick();
    void Mnu_SlideLeftClick();
    void Mnu_SlideRightClick();
    void Mnu_FlipXClick();
    void Mnu_FlipYClick();
    void Mnu_ReflectXClick();
    void Mnu_ReflectYClick();
    void Mnu_NegativeClick();
    void Mnu_UndoClick();
    void Mnu_RedoClick();
    void Mnu_SwapSprMc1Click();
    void Mnu_SwapSprMc2Click();
    void Mnu_SwapMc1Mc2Click();
    void Mnu_ReverseOrderClick();
    void Mnu_RemoveBlanksClick();
    void ClearAttributes2Click();
    void ClearAttributes1Click();
    void Clearalloverlayattributes1Click();
    void Mnu_ToolBar_FlatClick();
    void Mnu_ToolBar_RaisedClick();

    // ---- File commands ----
    void Mnu_NewClick();
    void Mnu_OpenClick();
    void Mnu_SaveProjectClick();
    void Import1Click();
    void Export1Click();
    void LoadSpriteFile1Click();
    void SaveSpriteFile1Click();
    void Mnu_SaveBitmapClick();
    void Mnu_ExitClick();
    void Mnu_DecimalClick();
    void Mnu_HexClick();
    // Loads a file dropped on the window as a project; a refused file changes nothing.
    // A PNG, GIF or BMP picture opens Import Image instead.
    void DropFile(const QString& path);
    // File > Recent Projects: opens path as a project; a file that no longer exists is
    // reported and taken off the menu.
    void OpenRecentProject(const QString& path);
    void Mnu_ClearRecentClick();

    // ---- Keys and wheel (Form1Keys.cpp) ----
    // Left/Right, Up/Down (a browser row), Page Up/Down (a browser page), Home/End (the
    // first and last sprite in use): the sprite chosen as a click in the browser would
    // choose it; with extend, the selection is extended to it as a Shift click would.
    void SpriteKey(int key, bool extend);
    void PaintBox_BrowserMouseWheel(int notches, Qt::KeyboardModifiers modifiers);
    void PaintBox_EditorMouseWheel(int notches, Qt::KeyboardModifiers modifiers);

    // ---- Pictures in and out (Form1Pictures.cpp) ----
    void Mnu_ImportImageClick();
    void Mnu_ExportImageClick();
    void Mnu_CopyImageClick();
    void Mnu_PasteImageClick();
    // ---- Sprite names and listings (Form1Names.cpp, Form1Listings.cpp) ----
    // Edit > Name Sprite...: names the current sprite (an empty name removes it), one undo step.
    void Mnu_NameSpriteClick();
    // Tools > Export Listing...: the listing dialog for the selected sprites.
    void Mnu_ExportListingClick();
    // File > Import Listing...: the sprites of a listing from the current sprite on, with
    // the names of its labels, as one undo step; a refused listing changes nothing.
    void Mnu_ImportListingClick();

    // ---- Tool windows ----
    void Mnu_RotatorClick();
    void Mnu_AnimatorClick();
    void VICESnapshotRipper1Click();
    void Mnu_AboutClick();
    // Tools > Object Editor... (Form1Objects.cpp): opens the object editor beside this
    // window, or raises it when it is open already.
    void Mnu_ObjectEditorClick();

    // ---- Sequences and onion skin (Form1Sequences.cpp) ----
    // Tools > Sequences...: opens the Sequences window beside this one, or raises it.
    void Mnu_SequencesClick();
    // Options > Onion Skin: the editor shows the neighbouring frames faintly, or not.
    void Mnu_OnionSkinClick();
    // Options > Onion Skin Settings...: how many frames, ahead as well, how faint.
    void Mnu_OnionSkinSettingsClick();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Construct(const QList<QByteArray>& arguments);
    void CreateControls();
    void CreateMenu();
    void CreateToolBar();
    void FitControlsToText();
    void CreateKeys();
    // Scrolls the browser to show the current sprite when it changed since the last call.
    void FollowCurrentSprite();
    // Makes index (kept inside the sprites in use) current as a click in the browser
    // would, or extends the selection to it as a Shift click would.
    void ChooseSprite(int index, bool extend);
    // What the window remembers between runs (Form1Settings.cpp).
    void LoadSettings();
    void SaveSettings();
    void RebuildRecentMenu();
    void RememberRecentProject(const QString& path);
    // Loads path as a project; a refused file is reported and changes nothing.
    bool OpenProjectFile(const QString& path);
    void LocateProgramFiles();
    void LoadStartupFile(const QByteArray& argument);
    // Loads a dropped file, named by the bytes the system gave, as a project.
    void OpenDroppedFile(const QByteArray& name);
    bool FormCloseQuery();
    void FormClose();
    void RangeCommand(void (*operation)(kelmora::u8*, int));
    void SelectPen(int pen);
    void ShowSprite(int index);
    void ShowWriteError(const QString& path, const kelmora::FileResult& why);
    void ViewTextData(int hex);
    void PaintStroke(Qt::MouseButtons buttons, QPoint from, QPoint to, bool press);

    // ---- Unsaved changes (Form1Changes.cpp) ----
    // The title's mark follows whether the document differs from its file.
    void UpdateModifiedMark();
    // The document now holds what its file holds (after a load or a save).
    void MarkDocumentSaved();
    // Before unsaved changes would be replaced: asks "Save changes to <name>?" and returns
    // whether the command may go on (Save only when the save succeeded, Discard; not
    // Cancel). True without a question when there are no changes.
    bool MaySaveChanges();
    // Save Project: the dialog and the save; true when the project was written.
    bool SaveProjectAs();
    // The name Save Project proposes: the last name given, as a project (.kmd) name.
    QString ProposedProjectPath() const;

    // ---- Pictures (Form1Pictures.cpp) ----
    // A picture file's name (.png, .gif, .bmp) opens Import Image with it, once the
    // current event is over; returns false for any other name.
    bool DropPicture(const QString& path);
    // Reads the picture file and shows it in Import Image; a file that cannot be read is reported.
    void ImportPictureFile(const QString& path);
    // Import Image with these frames; the views follow what it imported.
    void ImportPicture(std::vector<kelmora::RgbaImage> frames, const QString& name);
    // Paste Image is enabled while the clipboard holds a picture.
    void ClipboardChanged();

    // ---- Sprite names on show (Form1Names.cpp) ----
    // The current sprite's name in the status bar.
    void ShowSpriteName();
    // The status text and tool tip of the browser cell index (-1: none) under the pointer.
    void ShowBrowserHover(int index);
    QLabel* Label_SpriteName = nullptr;

    bool m_closed = false;
    // A stroke on the editor runs from a press to its release; the sprite pixel under the
    // pointer's last position (also outside the editor) is where its next line starts.
    bool m_strokeActive = false;
    QPoint m_strokeLast;

    friend class TForm1Host;

    // ---- The document, owned for the life of the window ----
    kelmora::Document m_doc;
    TForm1Host* m_host = nullptr;

    // ---- Palettes ----
    kelmora::PaletteTables Palette{};
    std::uint32_t BaseArgb[kelmora::kPaletteColours]{};      // Palette.base as opaque QImage pixels
    std::uint32_t HighlightArgb[kelmora::kPaletteColours]{}; // Palette.highlight likewise
    std::vector<kelmora::NamedPalette> LoadedPalettes;

    // ---- Where the program's files are ----
    QString ProgramDir;   // folder of the executable
    QString TextDataPath; // the listing file written by View Text Data
    QString FileName;     // the name last given to SetFileName

    // ---- Off-screen views (32 bits a pixel) ----
    QImage SpriteBitmap;  // 24 x 21
    QImage PreviewFrame;  // 34 x 31
    QImage PreviewBitmap; // 68 x 62
    QImage EditorBitmap;  // 192 x 168
    QImage BrowserFrame;  // 192 x 147
    QImage BrowserBitmap; // 384 x 294

    // The seven registered cursors: CUR_PAINT, CUR_FLOOD, CUR_SCROLL, CUR_STAMP,
    // CUR_DROP, CUR_POINT and CUR_MARKER (numbers 1 to 7 are indices 0 to 6).
    QList<QCursor> Cursors;

    // ---- Operations behind the commands ----
    void ApplySpriteQuantity();
    void ResetToNew();
    void ResetAfterLoad();
    void ResetUndo();
    void SetPalette(const std::uint32_t colours[kelmora::kPaletteColours]);

    // ---- Views ----
    void RenderSprite(const kelmora::u8* data, int index, QImage& bitmap, int flags);
    void DrawPreview();
    void DrawEditor();
    void DrawBrowser();
    void DrawPaletteStrip(QPainter& painter);
    static void ScanlineDouble(QImage& destination, const QImage& source);
    const int* PaletteOrder() const; // the strip order in force
    QColor ScreenColour(int colourNumber) const;

    // ---- Controls, named as laid out (tests find them by these object names) ----
    QToolBar* ToolBar1 = nullptr;
    TPaintBox* PaintBox_Editor = nullptr;
    TPaintBox* PaintBox_Preview = nullptr;
    QLabel* Label1 = nullptr;
    TPaintBox* PaintBox_Browser = nullptr;
    QScrollBar* ScrollBar_Browser = nullptr;
    QCheckBox* Chk_MulticolourMode = nullptr;
    QCheckBox* Chk_OverlayNext = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    TColourPanel* PanelColourTransp = nullptr;
    TColourPanel* PanelColourSprite = nullptr;
    TColourPanel* PanelColourMulti1 = nullptr;
    TColourPanel* PanelColourMulti2 = nullptr;
    QRadioButton* RadioColourTransp = nullptr;
    QRadioButton* RadioColourSprite = nullptr;
    QRadioButton* RadioColourMulti1 = nullptr;
    QRadioButton* RadioColourMulti2 = nullptr;
    TPaintBox* PaintBox_Palette = nullptr;
    QCheckBox* CkShowGrid = nullptr;
    QCheckBox* CkShowCross = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Edit2 = nullptr;
    TUpDown* UpDown1 = nullptr;
    QScrollBar* ScrollBar1 = nullptr;

    // Tool bar buttons of their own (the others share the menu items' actions).
    QAction* Btn_Brush1 = nullptr;
    QAction* Btn_Brush2 = nullptr;
    QAction* Btn_Flood = nullptr;

    // Menu items.
    QAction *Mnu_New = nullptr, *Mnu_Open = nullptr, *Mnu_SaveProject = nullptr, *Import1 = nullptr,
            *Export1 = nullptr, *LoadSpriteFile1 = nullptr, *SaveSpriteFile1 = nullptr,
            *Mnu_SaveBitmap = nullptr, *Mnu_Exit = nullptr;
    QAction *Mnu_SelectAll = nullptr, *Mnu_Clear = nullptr, *Mnu_Cut = nullptr, *Mnu_Copy = nullptr,
            *Mnu_Paste = nullptr, *Mnu_PasteInto = nullptr, *Mnu_CopyStyle = nullptr,
            *Mnu_PasteStyle = nullptr, *Mnu_SlideUp = nullptr, *Mnu_SlideDown = nullptr,
            *Mnu_SlideLeft = nullptr, *Mnu_SlideRight = nullptr, *Mnu_FlipX = nullptr, *Mnu_FlipY = nullptr,
            *Mnu_ReflectX = nullptr, *Mnu_ReflectY = nullptr, *Mnu_Negative = nullptr, *Mnu_Undo = nullptr,
            *Mnu_Redo = nullptr;
    QAction *Mnu_ImportImage = nullptr, *Mnu_ExportImage = nullptr, *Mnu_CopyImage = nullptr,
            *Mnu_PasteImage = nullptr;
    QAction *Mnu_ColourTransp = nullptr, *Mnu_ColourSprite = nullptr, *Mnu_ColourMulti1 = nullptr,
            *Mnu_ColourMulti2 = nullptr, *Mnu_SwapSprMc1 = nullptr, *Mnu_SwapSprMc2 = nullptr,
            *Mnu_SwapMc1Mc2 = nullptr, *Mnu_Decimal = nullptr, *Mnu_Hex = nullptr,
            *Mnu_ReverseOrder = nullptr, *Mnu_RemoveBlanks = nullptr, *ClearAttributes2 = nullptr,
            *ClearAttributes1 = nullptr, *Clearalloverlayattributes1 = nullptr, *Mnu_Rotator = nullptr,
            *Mnu_Animator = nullptr, *VICESnapshotRipper1 = nullptr;
    QAction *PalVantor = nullptr, *Mnu_PalOrderStandard = nullptr, *Mnu_PalOrderLumPairs = nullptr,
            *Mnu_DoubleScan = nullptr, *Mnu_ToolBar_Flat = nullptr, *Mnu_ToolBar_Raised = nullptr,
            *Mnu_About = nullptr;
    QMenu *File1 = nullptr, *SEUCK1 = nullptr, *Edit1 = nullptr, *View1 = nullptr, *Mnu_Pen = nullptr,
          *Mnu_PixelColourSwap = nullptr, *Mnu_ViewTextData = nullptr, *RangeOps1 = nullptr,
          *Options1 = nullptr, *ColourPalette1 = nullptr, *PaletteOrder1 = nullptr, *ToolBarStyle1 = nullptr,
          *Help1 = nullptr;
    QActionGroup* PaletteGroup = nullptr;
    QMenu* Mnu_RecentProjects = nullptr;
    bool m_settingsLoaded = false; // changes are remembered only once the remembered state is in
    int m_followedSprite = -1;     // the current sprite the browser last scrolled to show

    // Remembered by the file dialogs for the window's life: folder and name of the last use.
    QString ProjectOpenPath = QStringLiteral("Untitled.kmd");
    QString ProjectSavePath = QStringLiteral("Untitled.kmd");
    QString SeuckOpenPath = QStringLiteral("Untitled.a");
    QString SeuckSavePath = QStringLiteral("Untitled.a");
    QString BitmapSavePath = QStringLiteral("Untitled.bmp");
    QString ProjectSaveFolder; // where Save Project last saved; empty: the current folder
    QString ImageOpenPath;

    // ---- The project's side file, the Sequences window and the onion skin (Form1Sequences.cpp) ----
    // Reads the side file of the project just loaded from projectPath into the document's
    // extras (none when it is missing). One that cannot be used leaves them empty, is
    // named in the status bar, and its reason returned for ReportRefusedSideFile.
    QString ReadExtrasOf(const QString& projectPath);
    // The message about a side file that could not be used; later: once the window is up.
    void ReportRefusedSideFile(const QString& reason, bool later = false);
    // Forgets which side file belongs to the document (a new document).
    void ForgetSideFile();
    // Sprites from a file that holds none of the project's extras: the extras are emptied.
    void ForgetExtras();
    // Saves the project and, when it has one, its side file as one transaction; false
    // (nothing written) when the user cancels or the write fails, which is reported.
    bool SaveProjectAndExtras(const QString& path);
    void LoadOnionSettings();
    void SaveOnionSettings();
    // Blends the onion skin into SpriteBitmap, which shows the current sprite.
    void DrawOnionSkin();
    QAction *Mnu_Sequences = nullptr, *Mnu_OnionSkin = nullptr, *Mnu_OnionSkinSettings = nullptr;
    QPointer<TFormSequences> m_sequences;
    kelmora::OnionSkinOptions m_onion;
    QString m_sideFileRead;    // the side file the extras came from or went to; empty: none
    QString m_sideFileRefused; // a side file that could not be used when its project was opened
};
