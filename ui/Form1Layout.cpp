// The main window's controls, menu and tool bar, placed as the editor was designed.
#include "ui/Form1.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "ui/Widgets.h"

namespace
{

QFont BoldFont(const QWidget* widget)
{
    QFont font = widget->font();
    font.setBold(true);
    return font;
}

void SetHint(QWidget* widget, const QString& hint)
{
    widget->setToolTip(hint);
    widget->setStatusTip(hint);
}

} // namespace

void TForm1::CreateControls()
{
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(703, 433); // 452 client pixels less the status bar
    client->setMouseTracking(true);
    client->installEventFilter(this);
    setCentralWidget(client);

    PaintBox_Editor = new TPaintBox(client);
    PaintBox_Editor->setObjectName(QStringLiteral("PaintBox_Editor"));
    PaintBox_Editor->setGeometry(8, 44, 192, 168);

    PaintBox_Preview = new TPaintBox(client);
    PaintBox_Preview->setObjectName(QStringLiteral("PaintBox_Preview"));
    PaintBox_Preview->setGeometry(210, 44, 68, 62);

    Label1 = new QLabel(QStringLiteral("000"), client);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(BoldFont(Label1));
    Label1->move(232, 116);
    Label1->resize(40, 16);

    PaintBox_Browser = new TPaintBox(client);
    PaintBox_Browser->setObjectName(QStringLiteral("PaintBox_Browser"));
    PaintBox_Browser->setGeometry(288, 44, 384, 294);

    ScrollBar_Browser = new QScrollBar(Qt::Vertical, client);
    ScrollBar_Browser->setObjectName(QStringLiteral("ScrollBar_Browser"));
    ScrollBar_Browser->setGeometry(680, 44, 16, 293);
    ScrollBar_Browser->setRange(0, 0);
    ScrollBar_Browser->setPageStep(1);

    Chk_MulticolourMode = new QCheckBox(QStringLiteral("Multi-colour mode"), client);
    Chk_MulticolourMode->setObjectName(QStringLiteral("Chk_MulticolourMode"));
    Chk_MulticolourMode->setFont(BoldFont(Chk_MulticolourMode));
    Chk_MulticolourMode->setGeometry(16, 224, 170, 15);
    Chk_MulticolourMode->setChecked(true);
    SetHint(Chk_MulticolourMode, QStringLiteral("Toggle multi-colour mode"));

    Chk_OverlayNext = new QCheckBox(QStringLiteral("Overlay next sprite"), client);
    Chk_OverlayNext->setObjectName(QStringLiteral("Chk_OverlayNext"));
    Chk_OverlayNext->setFont(BoldFont(Chk_OverlayNext));
    Chk_OverlayNext->setGeometry(16, 240, 175, 17);
    SetHint(Chk_OverlayNext, QStringLiteral("Toggle overlay of next sprite"));

    GroupBox1 = new QGroupBox(QStringLiteral("Pen"), client);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setFont(BoldFont(GroupBox1));
    GroupBox1->setGeometry(8, 272, 193, 89);

    struct PenRow
    {
        TColourPanel** panel;
        QRadioButton** radio;
        const char* panelName;
        const char* radioName;
        const char* caption;
        const char* hint;
        int top;
    };
    const PenRow rows[] = {
        {&PanelColourTransp, &RadioColourTransp, "PanelColourTransp", "RadioColourTransp", "Transparent",
         "Select transparent pen", 16},
        {&PanelColourSprite, &RadioColourSprite, "PanelColourSprite", "RadioColourSprite", "Sprite colour",
         "Select Sprite Colour pen", 32},
        {&PanelColourMulti1, &RadioColourMulti1, "PanelColourMulti1", "RadioColourMulti1", "Multi-colour 1",
         "Select Multi-colour 1 pen", 48},
        {&PanelColourMulti2, &RadioColourMulti2, "PanelColourMulti2", "RadioColourMulti2", "Multi-colour 2",
         "Select Multi-colour 2 pen", 64},
    };
    QFont regular = GroupBox1->font();
    regular.setBold(false);
    for (const PenRow& row : rows)
    {
        auto* panel = new TColourPanel(GroupBox1);
        panel->setObjectName(QString::fromLatin1(row.panelName));
        panel->setGeometry(8, row.top + 1, 16, 16);
        SetHint(panel, QString::fromLatin1(row.hint));
        *row.panel = panel;
        auto* radio = new QRadioButton(QString::fromLatin1(row.caption), GroupBox1);
        radio->setObjectName(QString::fromLatin1(row.radioName));
        radio->setFont(regular);
        radio->setGeometry(35, row.top, 150, 17);
        SetHint(radio, QString::fromLatin1(row.hint));
        *row.radio = radio;
    }
    RadioColourSprite->setChecked(true);

    PaintBox_Palette = new TPaintBox(client);
    PaintBox_Palette->setObjectName(QStringLiteral("PaintBox_Palette"));
    PaintBox_Palette->setGeometry(8, 368, 192, 32);

    CkShowGrid = new QCheckBox(QStringLiteral("Show grid lines"), client);
    CkShowGrid->setObjectName(QStringLiteral("CkShowGrid"));
    CkShowGrid->setGeometry(288, 352, 130, 15);
    CkShowGrid->setChecked(true);
    SetHint(CkShowGrid, QStringLiteral("Toggle grid lines On/Off"));

    CkShowCross = new QCheckBox(QStringLiteral("Show crosshairs"), client);
    CkShowCross->setObjectName(QStringLiteral("CkShowCross"));
    CkShowCross->setGeometry(288, 368, 130, 17);
    SetHint(CkShowCross, QStringLiteral("Toggle crosshairs On/Off"));

    Label2 = new QLabel(QStringLiteral("Quantity"), client);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(BoldFont(Label2));
    Label2->setGeometry(538, 352, 66, 21);

    Edit2 = new QLineEdit(QStringLiteral("32"), client);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setGeometry(608, 352, 49, 21);
    Edit2->installEventFilter(this);

    UpDown1 = new TUpDown(client);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setGeometry(657, 352, 16, 21);
    UpDown1->setRange(1, 256);
    UpDown1->setAssociate(Edit2);
    UpDown1->setPosition(32);

    ScrollBar1 = new QScrollBar(Qt::Horizontal, client);
    ScrollBar1->setObjectName(QStringLiteral("ScrollBar1"));
    ScrollBar1->setGeometry(8, 416, 689, 16);
    ScrollBar1->setRange(0, 0);
    ScrollBar1->setPageStep(1);
    SetHint(ScrollBar1, QStringLiteral("Scroll through all sprites"));

    QStatusBar* status = statusBar();
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(false);
    Label_SpriteName = new QLabel(status);
    Label_SpriteName->setObjectName(QStringLiteral("Label_SpriteName"));
    Label_SpriteName->setContentsMargins(6, 0, 6, 0);
    status->addPermanentWidget(Label_SpriteName);

    // Wiring.
    connect(ScrollBar1, &QScrollBar::valueChanged, this, &TForm1::ScrollBar1Change);
    connect(ScrollBar_Browser, &QScrollBar::valueChanged, this, &TForm1::ScrollBar_BrowserChange);
    connect(Chk_MulticolourMode, &QCheckBox::clicked, this, &TForm1::Chk_MulticolourModeClick);
    connect(Chk_OverlayNext, &QCheckBox::clicked, this, &TForm1::Chk_OverlayNextClick);
    connect(CkShowGrid, &QCheckBox::clicked, this, &TForm1::CkShowGridClick);
    connect(CkShowCross, &QCheckBox::clicked, this, &TForm1::CkShowCrossClick);
    connect(RadioColourTransp, &QRadioButton::clicked, this, &TForm1::RadioColourTranspClick);
    connect(RadioColourSprite, &QRadioButton::clicked, this, &TForm1::RadioColourSpriteClick);
    connect(RadioColourMulti1, &QRadioButton::clicked, this, &TForm1::RadioColourMulti1Click);
    connect(RadioColourMulti2, &QRadioButton::clicked, this, &TForm1::RadioColourMulti2Click);
    connect(PanelColourTransp, &TColourPanel::clicked, this, &TForm1::RadioColourTranspClick);
    connect(PanelColourSprite, &TColourPanel::clicked, this, &TForm1::RadioColourSpriteClick);
    connect(PanelColourMulti1, &TColourPanel::clicked, this, &TForm1::RadioColourMulti1Click);
    connect(PanelColourMulti2, &TColourPanel::clicked, this, &TForm1::RadioColourMulti2Click);
    connect(UpDown1, &TUpDown::clicked, this, &TForm1::UpDown1Click);

    connect(PaintBox_Editor, &TPaintBox::mouseDown, this, &TForm1::PaintBox_EditorMouseDown);
    connect(PaintBox_Editor, &TPaintBox::mouseMove, this, &TForm1::PaintBox_EditorMouseMove);
    connect(PaintBox_Editor, &TPaintBox::mouseUp, this, &TForm1::PaintBox_EditorMouseUp);
    connect(PaintBox_Browser, &TPaintBox::mouseDown, this, &TForm1::PaintBox_BrowserMouseDown);
    connect(PaintBox_Browser, &TPaintBox::mouseMove, this, &TForm1::PaintBox_BrowserMouseMove);
    connect(PaintBox_Palette, &TPaintBox::mouseDown, this, &TForm1::PaintBox_PaletteMouseDown);
    connect(PaintBox_Palette, &TPaintBox::mouseMove, this, &TForm1::PaintBox_PaletteMouseMove);

    // Editor and browser show their bitmaps as last drawn; preview and strip are drawn afresh.
    PaintBox_Editor->onPaint = [this](QPainter& painter) { painter.drawImage(0, 0, EditorBitmap); };
    PaintBox_Browser->onPaint = [this](QPainter& painter) { painter.drawImage(0, 0, BrowserBitmap); };
    PaintBox_Preview->onPaint = [this](QPainter& painter) { painter.drawImage(0, 0, PreviewBitmap); };
    PaintBox_Palette->onPaint = [this](QPainter& painter) { DrawPaletteStrip(painter); };
}

void TForm1::CreateMenu()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    auto menu = [](QMenu* parent, const char* name, const QString& caption)
    {
        QMenu* m = parent->addMenu(caption);
        m->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setObjectName(QString::fromLatin1(name));
        return m;
    };
    auto top = [bar](const char* name, const QString& caption)
    {
        QMenu* m = bar->addMenu(caption);
        m->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setObjectName(QString::fromLatin1(name));
        return m;
    };
    auto item = [this](QMenu* m, const char* name, const QString& caption, const QKeySequence& key,
                       void (TForm1::*slot)())
    {
        QAction* a = m->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        if (!key.isEmpty())
        {
            a->setShortcut(key);
            a->setShortcutContext(Qt::WindowShortcut);
        }
        if (slot) connect(a, &QAction::triggered, this, slot);
        return a;
    };
    const QKeySequence none;

    File1 = top("File1", QStringLiteral("&File"));
    Mnu_New = item(File1, "Mnu_New", QStringLiteral("New"), QKeySequence(Qt::CTRL | Qt::Key_N),
                   &TForm1::Mnu_NewClick);
    Mnu_Open = item(File1, "Mnu_Open", QStringLiteral("Open Project..."), QKeySequence(Qt::CTRL | Qt::Key_O),
                    &TForm1::Mnu_OpenClick);
    Mnu_SaveProject = item(File1, "Mnu_SaveProject", QStringLiteral("Save Project..."),
                           QKeySequence(Qt::CTRL | Qt::Key_S), &TForm1::Mnu_SaveProjectClick);
    File1->addSeparator();
    Import1 = item(File1, "Import1", QStringLiteral("Import..."), none, &TForm1::Import1Click);
    Export1 = item(File1, "Export1", QStringLiteral("Export..."), none, &TForm1::Export1Click);
    item(File1, "Mnu_ImportListing", QStringLiteral("Import Listing..."), none,
         &TForm1::Mnu_ImportListingClick);
    Mnu_ImportImage = item(File1, "Mnu_ImportImage", QStringLiteral("Import Image..."), none,
                           &TForm1::Mnu_ImportImageClick);
    Mnu_ExportImage = item(File1, "Mnu_ExportImage", QStringLiteral("Export Image..."), none,
                           &TForm1::Mnu_ExportImageClick);
    File1->addSeparator();
    SEUCK1 = menu(File1, "SEUCK1", QStringLiteral("SEUCK"));
    LoadSpriteFile1 = item(SEUCK1, "LoadSpriteFile1", QStringLiteral("Load Sprite File..."), none,
                           &TForm1::LoadSpriteFile1Click);
    SaveSpriteFile1 = item(SEUCK1, "SaveSpriteFile1", QStringLiteral("Save Sprite File..."), none,
                           &TForm1::SaveSpriteFile1Click);
    File1->addSeparator();
    Mnu_SaveBitmap = item(File1, "Mnu_SaveBitmap", QStringLiteral("Save Bitmap Image..."), none,
                          &TForm1::Mnu_SaveBitmapClick);
    File1->addSeparator();
    Mnu_Exit = item(File1, "Mnu_Exit", QStringLiteral("Exit"), none, &TForm1::Mnu_ExitClick);

    Edit1 = top("Edit1", QStringLiteral("&Edit"));
    Mnu_SelectAll = item(Edit1, "Mnu_SelectAll", QStringLiteral("Select All"),
                         QKeySequence(Qt::CTRL | Qt::Key_A), &TForm1::Mnu_SelectAllClick);
    Edit1->addSeparator();
    Mnu_Clear = item(Edit1, "Mnu_Clear", QStringLiteral("Clear"), QKeySequence(Qt::Key_Delete),
                     &TForm1::Mnu_ClearClick);
    Edit1->addSeparator();
    Mnu_Cut = item(Edit1, "Mnu_Cut", QStringLiteral("Cut"), QKeySequence(Qt::CTRL | Qt::Key_X),
                   &TForm1::Mnu_CutClick);
    Mnu_Copy = item(Edit1, "Mnu_Copy", QStringLiteral("Copy"), QKeySequence(Qt::CTRL | Qt::Key_C),
                    &TForm1::Mnu_CopyClick);
    Mnu_Paste = item(Edit1, "Mnu_Paste", QStringLiteral("Paste"), QKeySequence(Qt::CTRL | Qt::Key_V),
                     &TForm1::Mnu_PasteClick);
    Mnu_PasteInto = item(Edit1, "Mnu_PasteInto", QStringLiteral("Paste Into"),
                         QKeySequence(Qt::CTRL | Qt::Key_E), &TForm1::Mnu_PasteIntoClick);
    Mnu_CopyImage = item(Edit1, "Mnu_CopyImage", QStringLiteral("Copy as Image"),
                         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), &TForm1::Mnu_CopyImageClick);
    Mnu_PasteImage = item(Edit1, "Mnu_PasteImage", QStringLiteral("Paste Image"),
                          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V), &TForm1::Mnu_PasteImageClick);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &TForm1::ClipboardChanged);
    ClipboardChanged();
    Edit1->addSeparator();
    Mnu_CopyStyle = item(Edit1, "Mnu_CopyStyle", QStringLiteral("Copy Style"),
                         QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_C), &TForm1::Mnu_CopyStyleClick);
    Mnu_PasteStyle = item(Edit1, "Mnu_PasteStyle", QStringLiteral("Paste Style"),
                          QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_V), &TForm1::Mnu_PasteStyleClick);
    Edit1->addSeparator();
    Mnu_SlideUp = item(Edit1, "Mnu_SlideUp", QStringLiteral("Slide Up"), QKeySequence(Qt::CTRL | Qt::Key_U),
                       &TForm1::Mnu_SlideUpClick);
    Mnu_SlideDown = item(Edit1, "Mnu_SlideDown", QStringLiteral("Slide Down"),
                         QKeySequence(Qt::CTRL | Qt::Key_D), &TForm1::Mnu_SlideDownClick);
    Mnu_SlideLeft = item(Edit1, "Mnu_SlideLeft", QStringLiteral("Slide Left"),
                         QKeySequence(Qt::CTRL | Qt::Key_L), &TForm1::Mnu_SlideLeftClick);
    Mnu_SlideRight = item(Edit1, "Mnu_SlideRight", QStringLiteral("Slide Right"),
                          QKeySequence(Qt::CTRL | Qt::Key_R), &TForm1::Mnu_SlideRightClick);
    Edit1->addSeparator();
    Mnu_FlipX = item(Edit1, "Mnu_FlipX", QStringLiteral("Flip Top to Bottom"),
                     QKeySequence(Qt::CTRL | Qt::Key_F), &TForm1::Mnu_FlipXClick);
    Mnu_FlipY = item(Edit1, "Mnu_FlipY", QStringLiteral("Flip Left to Right"),
                     QKeySequence(Qt::CTRL | Qt::Key_G), &TForm1::Mnu_FlipYClick);
    Edit1->addSeparator();
    Mnu_ReflectX = item(Edit1, "Mnu_ReflectX", QStringLiteral("Reflect Top to Bottom"),
                        QKeySequence(Qt::CTRL | Qt::Key_H), &TForm1::Mnu_ReflectXClick);
    Mnu_ReflectY = item(Edit1, "Mnu_ReflectY", QStringLiteral("Reflect Left to Right"),
                        QKeySequence(Qt::CTRL | Qt::Key_J), &TForm1::Mnu_ReflectYClick);
    Edit1->addSeparator();
    Mnu_Negative = item(Edit1, "Mnu_Negative", QStringLiteral("Negative"), QKeySequence(Qt::CTRL | Qt::Key_I),
                        &TForm1::Mnu_NegativeClick);
    Edit1->addSeparator();
    item(Edit1, "Mnu_NameSprite", QStringLiteral("Name Sprite..."), none, &TForm1::Mnu_NameSpriteClick);
    Edit1->addSeparator();
    Mnu_Undo = item(Edit1, "Mnu_Undo", QStringLiteral("Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z),
                    &TForm1::Mnu_UndoClick);
    Mnu_Redo = item(Edit1, "Mnu_Redo", QStringLiteral("Redo"), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Z),
                    &TForm1::Mnu_RedoClick);

    View1 = top("View1", QStringLiteral("&Tools"));
    Mnu_Pen = menu(View1, "Mnu_Pen", QStringLiteral("Pen..."));
    auto* penGroup = new QActionGroup(this);
    Mnu_ColourTransp = item(Mnu_Pen, "Mnu_ColourTransp", QStringLiteral("Transparent"),
                            QKeySequence(Qt::Key_F1), &TForm1::RadioColourTranspClick);
    Mnu_ColourSprite = item(Mnu_Pen, "Mnu_ColourSprite", QStringLiteral("Sprite Colour"),
                            QKeySequence(Qt::Key_F2), &TForm1::RadioColourSpriteClick);
    Mnu_ColourMulti1 = item(Mnu_Pen, "Mnu_ColourMulti1", QStringLiteral("Multi-colour 1"),
                            QKeySequence(Qt::Key_F3), &TForm1::RadioColourMulti1Click);
    Mnu_ColourMulti2 = item(Mnu_Pen, "Mnu_ColourMulti2", QStringLiteral("Multi-colour 2"),
                            QKeySequence(Qt::Key_F4), &TForm1::RadioColourMulti2Click);
    for (QAction* a : {Mnu_ColourTransp, Mnu_ColourSprite, Mnu_ColourMulti1, Mnu_ColourMulti2})
    {
        a->setCheckable(true);
        penGroup->addAction(a);
    }
    Mnu_ColourSprite->setChecked(true);

    Mnu_PixelColourSwap = menu(View1, "Mnu_PixelColourSwap", QStringLiteral("Pixel Colour Swap..."));
    Mnu_SwapSprMc1 =
        item(Mnu_PixelColourSwap, "Mnu_SwapSprMc1", QStringLiteral("Sprite Colour < > Multi-colour 1"), none,
             &TForm1::Mnu_SwapSprMc1Click);
    Mnu_SwapSprMc2 =
        item(Mnu_PixelColourSwap, "Mnu_SwapSprMc2", QStringLiteral("Sprite Colour < > Multi-colour 2"), none,
             &TForm1::Mnu_SwapSprMc2Click);
    Mnu_SwapMc1Mc2 =
        item(Mnu_PixelColourSwap, "Mnu_SwapMc1Mc2", QStringLiteral("Multi-colour 1 < > Multi-colour 2"), none,
             &TForm1::Mnu_SwapMc1Mc2Click);

    Mnu_ViewTextData = menu(View1, "Mnu_ViewTextData", QStringLiteral("View Text Data..."));
    Mnu_Decimal =
        item(Mnu_ViewTextData, "Mnu_Decimal", QStringLiteral("Decimal"), none, &TForm1::Mnu_DecimalClick);
    Mnu_Hex = item(Mnu_ViewTextData, "Mnu_Hex", QStringLiteral("Hex"), none, &TForm1::Mnu_HexClick);
    item(View1, "Mnu_ExportListing", QStringLiteral("Export Listing..."), none,
         &TForm1::Mnu_ExportListingClick);

    RangeOps1 = menu(View1, "RangeOps1", QStringLiteral("Special Range Ops"));
    Mnu_ReverseOrder = item(RangeOps1, "Mnu_ReverseOrder", QStringLiteral("Reverse Order"), none,
                            &TForm1::Mnu_ReverseOrderClick);
    Mnu_RemoveBlanks = item(RangeOps1, "Mnu_RemoveBlanks", QStringLiteral("Remove Blanks"), none,
                            &TForm1::Mnu_RemoveBlanksClick);
    RangeOps1->addSeparator();
    ClearAttributes2 = item(RangeOps1, "ClearAttributes2", QStringLiteral("Clear Attributes"), none,
                            &TForm1::ClearAttributes2Click);
    ClearAttributes1 =
        item(RangeOps1, "ClearAttributes1", QStringLiteral("Clear Attributes, Preserve Colour"), none,
             &TForm1::ClearAttributes1Click);
    Clearalloverlayattributes1 =
        item(RangeOps1, "Clearalloverlayattributes1", QStringLiteral("Clear Overlay Attributes"), none,
             &TForm1::Clearalloverlayattributes1Click);
    View1->addSeparator();
    Mnu_Rotator = item(View1, "Mnu_Rotator", QStringLiteral("Rotator..."), QKeySequence(Qt::Key_F9),
                       &TForm1::Mnu_RotatorClick);
    Mnu_Animator = item(View1, "Mnu_Animator", QStringLiteral("Animator..."), QKeySequence(Qt::Key_F10),
                        &TForm1::Mnu_AnimatorClick);
    Mnu_Sequences =
        item(View1, "Mnu_Sequences", QStringLiteral("Sequences..."), none, &TForm1::Mnu_SequencesClick);
    View1->addSeparator();
    VICESnapshotRipper1 = item(View1, "VICESnapshotRipper1", QStringLiteral("VICE Snapshot Ripper..."),
                               QKeySequence(Qt::Key_F11), &TForm1::VICESnapshotRipper1Click);
    View1->addSeparator();
    item(View1, "Mnu_ObjectEditor", QStringLiteral("Object Editor..."), QKeySequence(Qt::Key_F12),
         &TForm1::Mnu_ObjectEditorClick)
        ->setStatusTip(QStringLiteral("Edit a grid of sprites, and an overlay layer, as one picture"));

    Options1 = top("Options1", QStringLiteral("&Options"));
    ColourPalette1 = menu(Options1, "ColourPalette1", QStringLiteral("Colour Palette..."));
    PaletteGroup = new QActionGroup(this);
    PaletteGroup->setObjectName(QStringLiteral("PaletteGroup"));
    PalVantor = item(ColourPalette1, "PalVantor", QString::fromLatin1(kelmora::kBuiltInPaletteName),
                     QKeySequence(Qt::CTRL | Qt::Key_F1), &TForm1::PalVantorClick);
    PalVantor->setCheckable(true);
    PalVantor->setChecked(true);
    PaletteGroup->addAction(PalVantor);

    PaletteOrder1 = menu(Options1, "PaletteOrder1", QStringLiteral("Palette Order"));
    auto* orderGroup = new QActionGroup(this);
    Mnu_PalOrderStandard = item(PaletteOrder1, "Mnu_PalOrderStandard", QStringLiteral("Standard"), none,
                                &TForm1::Mnu_PalOrderStandardClick);
    Mnu_PalOrderLumPairs = item(PaletteOrder1, "Mnu_PalOrderLumPairs", QStringLiteral("Luminance Pairs"),
                                none, &TForm1::Mnu_PalOrderLumPairsClick);
    for (QAction* a : {Mnu_PalOrderStandard, Mnu_PalOrderLumPairs})
    {
        a->setCheckable(true);
        orderGroup->addAction(a);
    }
    Mnu_PalOrderStandard->setChecked(true);

    Mnu_DoubleScan = item(Options1, "Mnu_DoubleScan", QStringLiteral("Double Scan"), none, nullptr);
    Mnu_DoubleScan->setCheckable(true);
    Mnu_DoubleScan->setChecked(true);
    connect(Mnu_DoubleScan, &QAction::triggered, this, &TForm1::Mnu_DoubleScanClick);
    Mnu_OnionSkin =
        item(Options1, "Mnu_OnionSkin", QStringLiteral("Onion Skin"), none, &TForm1::Mnu_OnionSkinClick);
    Mnu_OnionSkin->setCheckable(true);
    Mnu_OnionSkinSettings = item(Options1, "Mnu_OnionSkinSettings", QStringLiteral("Onion Skin Settings..."),
                                 none, &TForm1::Mnu_OnionSkinSettingsClick);
    Options1->addSeparator();
    ToolBarStyle1 = menu(Options1, "ToolBarStyle1", QStringLiteral("Tool Bar Style"));
    auto* styleGroup = new QActionGroup(this);
    Mnu_ToolBar_Flat =
        item(ToolBarStyle1, "Mnu_ToolBar_Flat", QStringLiteral("Flat"), none, &TForm1::Mnu_ToolBar_FlatClick);
    Mnu_ToolBar_Raised = item(ToolBarStyle1, "Mnu_ToolBar_Raised", QStringLiteral("Raised"), none,
                              &TForm1::Mnu_ToolBar_RaisedClick);
    for (QAction* a : {Mnu_ToolBar_Flat, Mnu_ToolBar_Raised})
    {
        a->setCheckable(true);
        styleGroup->addAction(a);
    }
    Mnu_ToolBar_Flat->setChecked(true);

    Help1 = top("Help1", QStringLiteral("&Help"));
    Mnu_About = item(Help1, "Mnu_About", QStringLiteral("About..."), none, &TForm1::Mnu_AboutClick);
}

void TForm1::CreateToolBar()
{
    ToolBar1 = new QToolBar(centralWidget());
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setGeometry(0, 0, 703, 33);
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);

    auto button = [this](QAction* action, const char* name, const char* icon, const QString& hint)
    {
        action->setIcon(ToolIcon(QString::fromLatin1(icon)));
        action->setToolTip(hint);
        action->setStatusTip(hint);
        ToolBar1->addAction(action);
        QWidget* widget = ToolBar1->widgetForAction(action);
        widget->setObjectName(QString::fromLatin1(name));
        return action;
    };
    auto own = [this](const char* name, const QString& caption)
    {
        auto* a = new QAction(caption, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setCheckable(true);
        return a;
    };

    auto* tools = new QActionGroup(this);
    Btn_Brush1 = own("Btn_Brush1", QStringLiteral("Paintbrush 1"));
    Btn_Brush2 = own("Btn_Brush2", QStringLiteral("Paintbrush 2"));
    Btn_Flood = own("Btn_Flood", QStringLiteral("Flood fill"));
    for (QAction* a : {Btn_Brush1, Btn_Brush2, Btn_Flood})
        tools->addAction(a);
    Btn_Brush1->setChecked(true);
    button(Btn_Brush1, "Btn_Brush1", "brush1", QStringLiteral("Paintbrush 1"));
    button(Btn_Brush2, "Btn_Brush2", "brush2", QStringLiteral("Paintbrush 2"));
    button(Btn_Flood, "Btn_Flood", "flood", QStringLiteral("Flood fill"));
    ToolBar1->addSeparator();
    button(Mnu_Cut, "Btn_Cut", "cut", QStringLiteral("Cut"));
    button(Mnu_Copy, "Btn_Copy", "copy", QStringLiteral("Copy"));
    button(Mnu_Paste, "Btn_Paste", "paste", QStringLiteral("Paste"));
    button(Mnu_Undo, "Btn_Undo", "undo", QStringLiteral("Undo"));
    button(Mnu_Redo, "Btn_Redo", "redo", QStringLiteral("Redo"));
    ToolBar1->addSeparator();
    button(Mnu_SlideUp, "Btn_Up", "up", QStringLiteral("Slide up"));
    button(Mnu_SlideDown, "Btn_Down", "down", QStringLiteral("Slide down"));
    button(Mnu_SlideLeft, "Btn_Left", "left", QStringLiteral("Slide left"));
    button(Mnu_SlideRight, "Btn_Right", "right", QStringLiteral("Slide right"));
    ToolBar1->addSeparator();
    button(Mnu_FlipX, "Btn_FlipX", "flipx", QStringLiteral("Flip top to bottom"));
    button(Mnu_FlipY, "Btn_FlipY", "flipy", QStringLiteral("Flip left to right"));
    ToolBar1->addSeparator();
    button(Mnu_ReflectX, "Btn_SymmX", "symmx", QStringLiteral("Reflect top to bottom"));
    button(Mnu_ReflectY, "Btn_SymmY", "symmy", QStringLiteral("Reflect left to right"));
    ToolBar1->addSeparator();
    button(Mnu_Rotator, "Btn_Rotate", "rotate", QStringLiteral("Rotate"));
    ToolBar1->addSeparator();
    button(Mnu_Animator, "Btn_Anim", "anim", QStringLiteral("Animate"));

    // The tool bar's flat look at start-up.
    Mnu_ToolBar_FlatClick();
}
