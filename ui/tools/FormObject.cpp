// The object editor: controls and menus, the list of objects and their grids, and
// following the document.
#include "ui/tools/FormObject.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "core/SpriteBankStore.h"
#include "ui/EditorHost.h"
#include "ui/Fit.h"
#include "ui/Messages.h"
#include "ui/Settings.h"
#include "ui/Widgets.h"
#include "ui/tools/ObjectCanvas.h"

using namespace kelmora;

namespace
{

const QString kSettings = QStringLiteral("objectEditor/");

// A tool bar image drawn here, at 1x, 2x and 3x, in the text colour of the theme: a
// line, a rectangle's outline, a filled rectangle or the selection's dashed outline.
QIcon ShapeIcon(TFormObject::Tool tool, const QColor& colour)
{
    QIcon icon;
    for (int size : {16, 32, 48})
    {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        const qreal unit = size / 16.0;
        QPen pen(colour, 1.5 * unit);
        const QRectF box(3 * unit, 4 * unit, 10 * unit, 8 * unit);
        switch (tool)
        {
        case TFormObject::Tool::Line:
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(pen);
            painter.drawLine(QPointF(3 * unit, 13 * unit), QPointF(13 * unit, 3 * unit));
            break;
        case TFormObject::Tool::Rectangle:
            painter.setPen(pen);
            painter.drawRect(box);
            break;
        case TFormObject::Tool::FilledRectangle:
            painter.fillRect(box.adjusted(-0.75 * unit, -0.75 * unit, 0.75 * unit, 0.75 * unit), colour);
            break;
        default:
            pen.setStyle(Qt::DashLine);
            pen.setWidthF(unit);
            painter.setPen(pen);
            painter.drawRect(box);
            break;
        }
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

// The words of the list's entry for an object: its name and grid.
QString ListEntry(const SpriteObject& object)
{
    return QStringLiteral("%1  (%2 x %3%4)")
        .arg(QString::fromStdString(object.name))
        .arg(object.columns)
        .arg(object.rows)
        .arg(HasOverlayLayer(object) ? QStringLiteral(", overlay") : QString());
}

} // namespace

TFormObject::TFormObject(TEditorHost& host, QWidget* parent) : QDialog(parent), m_host(host)
{
    CreateControls();
    connect(&m_host, &TEditorHost::viewsRefreshed, this, &TFormObject::DocumentRefreshed);
    AdoptMainTool();
    SelectObject(0);
    // Room for the list and a few cells of the picture, unless the user chose a size.
    resize(Splitter_Object->widget(0)->sizeHint().width() + 560, 560);
    RestoreSettings();
}

TFormObject::~TFormObject()
{
    SaveSettings();
}

// ---- Controls ----

void TFormObject::CreateControls()
{
    setObjectName(QStringLiteral("FormObject"));
    setWindowTitle(QStringLiteral("Object Editor"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setModal(false);
    setSizeGripEnabled(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    CreateMenus();
    CreateToolBars();
    layout->addWidget(ToolBar_Tools);
    layout->addWidget(ToolBar_Pens);

    Splitter_Object = new QSplitter(Qt::Horizontal, this);
    Splitter_Object->setObjectName(QStringLiteral("Splitter_Object"));
    layout->addWidget(Splitter_Object, 1);

    // The list of objects and the grid of the one shown.
    auto* panel = new QWidget(Splitter_Object);
    auto* side = new QVBoxLayout(panel);
    side->setContentsMargins(6, 6, 6, 6);
    auto* listLabel = new QLabel(QStringLiteral("Objects"), panel);
    side->addWidget(listLabel);
    List_Objects = new QListWidget(panel);
    List_Objects->setObjectName(QStringLiteral("List_Objects"));
    List_Objects->setToolTip(QStringLiteral("The objects of the project"));
    listLabel->setBuddy(List_Objects);
    side->addWidget(List_Objects, 1);
    auto* buttons = new QHBoxLayout();
    const struct
    {
        QAction* action;
        const char* name;
        const char* caption;
    } listButtons[] = {{Mnu_ObjNew, "Btn_ObjNew", "New..."},
                       {Mnu_ObjNewFromSelection, "Btn_ObjNewFromSelection", "From Selection..."},
                       {Mnu_ObjRename, "Btn_ObjRename", "Rename..."},
                       {Mnu_ObjDelete, "Btn_ObjDelete", "Delete"}};
    auto* buttonGrid = new QGridLayout();
    for (int i = 0; i < 4; ++i)
    {
        auto* button = new QToolButton(panel);
        button->setObjectName(QString::fromLatin1(listButtons[i].name));
        button->setDefaultAction(listButtons[i].action);
        button->setText(QString::fromLatin1(listButtons[i].caption));
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        buttonGrid->addWidget(button, i / 2, i % 2);
    }
    buttons->addLayout(buttonGrid);
    side->addLayout(buttons);

    GroupBox_Grid = new QGroupBox(QStringLiteral("Grid"), panel);
    GroupBox_Grid->setObjectName(QStringLiteral("GroupBox_Grid"));
    auto* grid = new QGridLayout(GroupBox_Grid);
    auto* columnsLabel = new QLabel(QStringLiteral("Columns"), GroupBox_Grid);
    Spin_Columns = new QSpinBox(GroupBox_Grid);
    Spin_Columns->setObjectName(QStringLiteral("Spin_Columns"));
    auto* rowsLabel = new QLabel(QStringLiteral("Rows"), GroupBox_Grid);
    Spin_Rows = new QSpinBox(GroupBox_Grid);
    Spin_Rows->setObjectName(QStringLiteral("Spin_Rows"));
    for (QSpinBox* spin : {Spin_Columns, Spin_Rows})
    {
        spin->setRange(1, kObjectMaxColumns);
        spin->setKeyboardTracking(false); // a number typed counts once it is complete
        spin->setToolTip(QStringLiteral("New cells take the sprites after the highest one the object uses"));
    }
    columnsLabel->setBuddy(Spin_Columns);
    rowsLabel->setBuddy(Spin_Rows);
    grid->addWidget(columnsLabel, 0, 0);
    grid->addWidget(Spin_Columns, 0, 1);
    grid->addWidget(rowsLabel, 0, 2);
    grid->addWidget(Spin_Rows, 0, 3);
    auto* cellsLabel = new QLabel(QStringLiteral("Sprites of the cells"), GroupBox_Grid);
    grid->addWidget(cellsLabel, 1, 0, 1, 4);
    const auto table = [this](const char* name, const QString& tip)
    {
        auto* t = new QTableWidget(GroupBox_Grid);
        t->setObjectName(QString::fromLatin1(name));
        t->setToolTip(tip);
        t->horizontalHeader()->hide();
        t->verticalHeader()->hide();
        t->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        return t;
    };
    Table_Cells =
        table("Table_Cells", QStringLiteral("The sprite of each cell, row by row; type another slot"));
    cellsLabel->setBuddy(Table_Cells);
    grid->addWidget(Table_Cells, 2, 0, 1, 4);
    Chk_OverlayLayer = new QCheckBox(QStringLiteral("Overlay layer"), GroupBox_Grid);
    Chk_OverlayLayer->setObjectName(QStringLiteral("Chk_OverlayLayer"));
    Chk_OverlayLayer->setToolTip(
        QStringLiteral("Hires sprites drawn over the cells, as the \"overlay next sprite\" flag shows them"));
    grid->addWidget(Chk_OverlayLayer, 3, 0, 1, 4);
    Table_OverlayCells =
        table("Table_OverlayCells", QStringLiteral("The overlay sprite of each cell, row by row"));
    grid->addWidget(Table_OverlayCells, 4, 0, 1, 4);
    Label_ObjectProblem = new QLabel(GroupBox_Grid);
    Label_ObjectProblem->setObjectName(QStringLiteral("Label_ObjectProblem"));
    Label_ObjectProblem->setWordWrap(true);
    // Wrapped at a width of its own, not at its narrowest: the panel stays as tall as its controls.
    Label_ObjectProblem->setMinimumWidth(Label_ObjectProblem->fontMetrics().averageCharWidth() * 30);
    QPalette warning = Label_ObjectProblem->palette();
    warning.setColor(QPalette::WindowText, fit::WarningColour(palette()));
    Label_ObjectProblem->setPalette(warning);
    grid->addWidget(Label_ObjectProblem, 5, 0, 1, 4);
    side->addWidget(GroupBox_Grid);

    // The picture.
    ScrollBox_Object = new QScrollArea(Splitter_Object);
    ScrollBox_Object->setObjectName(QStringLiteral("ScrollBox_Object"));
    ScrollBox_Object->setAlignment(Qt::AlignCenter);
    ScrollBox_Object->setBackgroundRole(QPalette::Dark);
    Canvas_Object = new TObjectCanvas();
    Canvas_Object->setObjectName(QStringLiteral("Canvas_Object"));
    ScrollBox_Object->setWidget(Canvas_Object);
    Splitter_Object->addWidget(panel);
    Splitter_Object->addWidget(ScrollBox_Object);
    Splitter_Object->setStretchFactor(0, 0);
    Splitter_Object->setStretchFactor(1, 1);
    Splitter_Object->setCollapsible(1, false);

    StatusBar_Object = new QStatusBar(this);
    StatusBar_Object->setObjectName(QStringLiteral("StatusBar_Object"));
    StatusBar_Object->setSizeGripEnabled(false);
    Label_Zoom = new QLabel(StatusBar_Object);
    Label_Zoom->setObjectName(QStringLiteral("Label_Zoom"));
    Label_Zoom->setAlignment(Qt::AlignCenter);
    Label_Zoom->setMinimumWidth(Label_Zoom->fontMetrics().horizontalAdvance(QStringLiteral("32x")) + 16);
    StatusBar_Object->addPermanentWidget(Label_Zoom);
    layout->addWidget(StatusBar_Object);

    connect(List_Objects, &QListWidget::currentRowChanged, this, &TFormObject::List_ObjectsChange);
    connect(Spin_Columns, &QSpinBox::valueChanged, this, &TFormObject::Spin_GridChange);
    connect(Spin_Rows, &QSpinBox::valueChanged, this, &TFormObject::Spin_GridChange);
    connect(Table_Cells, &QTableWidget::itemChanged, this, &TFormObject::Table_CellsChange);
    connect(Table_OverlayCells, &QTableWidget::itemChanged, this, &TFormObject::Table_CellsChange);
    connect(Chk_OverlayLayer, &QCheckBox::clicked, this, &TFormObject::Chk_OverlayLayerClick);
    connect(Canvas_Object, &TObjectCanvas::mouseDown, this, &TFormObject::Canvas_MouseDown);
    connect(Canvas_Object, &TObjectCanvas::mouseMove, this, &TFormObject::Canvas_MouseMove);
    connect(Canvas_Object, &TObjectCanvas::mouseUp, this, &TFormObject::Canvas_MouseUp);
    connect(Canvas_Object, &TObjectCanvas::zoomWheel, this, &TFormObject::Canvas_ZoomWheel);
    connect(Canvas_Object, &TObjectCanvas::pointerLeft, this, [this] { StatusBar_Object->clearMessage(); });
}

void TFormObject::CreateMenus()
{
    auto* bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("MainMenu_Object"));
    static_cast<QVBoxLayout*>(layout())->setMenuBar(bar);
    const auto item = [this](QMenu* menu, const char* name, const QString& caption,
                             const QList<QKeySequence>& keys, void (TFormObject::*slot)(),
                             const QString& hint = QString())
    {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcuts(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        if (!hint.isEmpty())
        {
            a->setToolTip(hint);
            a->setStatusTip(hint);
        }
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    const auto key = [](QKeyCombination combination)
    { return QList<QKeySequence>{QKeySequence(combination)}; };
    const QList<QKeySequence> none;

    QMenu* objects = bar->addMenu(QStringLiteral("&Object"));
    objects->setObjectName(QStringLiteral("Menu_ObjObject"));
    Mnu_ObjNew =
        item(objects, "Mnu_ObjNew", QStringLiteral("New Object..."), key(Qt::CTRL | Qt::Key_N),
             &TFormObject::Mnu_ObjNewClick, QStringLiteral("An object of one cell: the current sprite"));
    Mnu_ObjNewFromSelection =
        item(objects, "Mnu_ObjNewFromSelection", QStringLiteral("New from Selection..."),
             key(Qt::CTRL | Qt::SHIFT | Qt::Key_N), &TFormObject::Mnu_ObjNewFromSelectionClick,
             QStringLiteral("An object whose grid holds the sprites selected in the main window"));
    Mnu_ObjRename = item(objects, "Mnu_ObjRename", QStringLiteral("Rename..."), none,
                         &TFormObject::Mnu_ObjRenameClick, QStringLiteral("Rename the object"));
    Mnu_ObjDelete =
        item(objects, "Mnu_ObjDelete", QStringLiteral("Delete"), none, &TFormObject::Mnu_ObjDeleteClick,
             QStringLiteral("Delete the object (its sprites stay)"));
    objects->addSeparator();
    Mnu_ObjClose = objects->addAction(QStringLiteral("Close"));
    Mnu_ObjClose->setObjectName(QStringLiteral("Mnu_ObjClose"));
    Mnu_ObjClose->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    connect(Mnu_ObjClose, &QAction::triggered, this, &QDialog::close);

    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("Menu_ObjEdit"));
    Mnu_ObjUndo = item(edit, "Mnu_ObjUndo", QStringLiteral("Undo"), key(Qt::CTRL | Qt::Key_Z),
                       &TFormObject::Mnu_ObjUndoClick);
    Mnu_ObjRedo = item(edit, "Mnu_ObjRedo", QStringLiteral("Redo"),
                       {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                        QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Z)},
                       &TFormObject::Mnu_ObjRedoClick);
    edit->addSeparator();
    Mnu_ObjSelectAll = item(edit, "Mnu_ObjSelectAll", QStringLiteral("Select All"), key(Qt::CTRL | Qt::Key_A),
                            &TFormObject::Mnu_ObjSelectAllClick, QStringLiteral("Select the whole picture"));
    Mnu_ObjCopy = item(edit, "Mnu_ObjCopy", QStringLiteral("Copy"), key(Qt::CTRL | Qt::Key_C),
                       &TFormObject::Mnu_ObjCopyClick,
                       QStringLiteral("Copy the selection (the whole picture without one)"));
    Mnu_ObjPaste = item(edit, "Mnu_ObjPaste", QStringLiteral("Paste"), key(Qt::CTRL | Qt::Key_V),
                        &TFormObject::Mnu_ObjPasteClick,
                        QStringLiteral("Paste at the selection's corner, into this or another object"));
    edit->addSeparator();
    Mnu_ObjSlideUp = item(edit, "Mnu_ObjSlideUp", QStringLiteral("Slide Up"), key(Qt::CTRL | Qt::Key_U),
                          &TFormObject::Mnu_ObjSlideUpClick);
    Mnu_ObjSlideDown = item(edit, "Mnu_ObjSlideDown", QStringLiteral("Slide Down"), key(Qt::CTRL | Qt::Key_D),
                            &TFormObject::Mnu_ObjSlideDownClick);
    Mnu_ObjSlideLeft = item(edit, "Mnu_ObjSlideLeft", QStringLiteral("Slide Left"), key(Qt::CTRL | Qt::Key_L),
                            &TFormObject::Mnu_ObjSlideLeftClick);
    Mnu_ObjSlideRight = item(edit, "Mnu_ObjSlideRight", QStringLiteral("Slide Right"),
                             key(Qt::CTRL | Qt::Key_R), &TFormObject::Mnu_ObjSlideRightClick);
    edit->addSeparator();
    Mnu_ObjFlipTopBottom = item(edit, "Mnu_ObjFlipTopBottom", QStringLiteral("Flip Top to Bottom"),
                                key(Qt::CTRL | Qt::Key_F), &TFormObject::Mnu_ObjFlipTopBottomClick);
    Mnu_ObjFlipLeftRight = item(edit, "Mnu_ObjFlipLeftRight", QStringLiteral("Flip Left to Right"),
                                key(Qt::CTRL | Qt::Key_G), &TFormObject::Mnu_ObjFlipLeftRightClick,
                                QStringLiteral("Flip the whole picture: the columns of cells swap too"));
    Mnu_ObjMirrorTop = item(edit, "Mnu_ObjMirrorTop", QStringLiteral("Reflect Top to Bottom"),
                            key(Qt::CTRL | Qt::Key_H), &TFormObject::Mnu_ObjMirrorTopClick,
                            QStringLiteral("The bottom half becomes the mirror image of the top half"));
    Mnu_ObjMirrorLeft = item(edit, "Mnu_ObjMirrorLeft", QStringLiteral("Reflect Left to Right"),
                             key(Qt::CTRL | Qt::Key_J), &TFormObject::Mnu_ObjMirrorLeftClick,
                             QStringLiteral("The right half becomes the mirror image of the left half"));
    edit->addSeparator();
    Mnu_ObjNegative = item(edit, "Mnu_ObjNegative", QStringLiteral("Negative"), key(Qt::CTRL | Qt::Key_I),
                           &TFormObject::Mnu_ObjNegativeClick);
    Mnu_ObjClear = item(edit, "Mnu_ObjClear", QStringLiteral("Clear"), none, &TFormObject::Mnu_ObjClearClick,
                        QStringLiteral("Clear every sprite of the object"));
    edit->addSeparator();
    Mnu_ObjSplit =
        item(edit, "Mnu_ObjSplit", QStringLiteral("Split into Overlay Pair..."), none,
             &TFormObject::Mnu_ObjSplitClick,
             QStringLiteral("Turn the picture into multicolour cells with hires sprites over them"));

    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("Menu_ObjView"));
    Mnu_ObjZoomIn = item(view, "Mnu_ObjZoomIn", QStringLiteral("Zoom In"),
                         {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
                         &TFormObject::Mnu_ObjZoomInClick, QStringLiteral("Zoom in (Ctrl+wheel)"));
    Mnu_ObjZoomOut = item(view, "Mnu_ObjZoomOut", QStringLiteral("Zoom Out"), key(Qt::CTRL | Qt::Key_Minus),
                          &TFormObject::Mnu_ObjZoomOutClick, QStringLiteral("Zoom out (Ctrl+wheel)"));
    Mnu_ObjFit =
        item(view, "Mnu_ObjFit", QStringLiteral("Fit"), key(Qt::CTRL | Qt::Key_0),
             &TFormObject::Mnu_ObjFitClick, QStringLiteral("The largest zoom that shows the whole object"));
    view->addSeparator();
    Mnu_ObjGrid =
        item(view, "Mnu_ObjGrid", QStringLiteral("Sprite Grid"), none, &TFormObject::Mnu_ObjViewOptionClick,
             QStringLiteral("Lines between the sprite pixels"));
    Mnu_ObjBorders = item(view, "Mnu_ObjBorders", QStringLiteral("Cell Borders"), none,
                          &TFormObject::Mnu_ObjViewOptionClick, QStringLiteral("Lines between the cells"));
    Mnu_ObjDimOverlay = item(view, "Mnu_ObjDimOverlay", QStringLiteral("Dim Overlay"), none,
                             &TFormObject::Mnu_ObjViewOptionClick,
                             QStringLiteral("Show the overlay faintly, to see the cells under it"));
    Mnu_ObjHideOverlay = item(view, "Mnu_ObjHideOverlay", QStringLiteral("Hide Overlay"), none,
                              &TFormObject::Mnu_ObjViewOptionClick, QStringLiteral("Show the cells alone"));
    for (QAction* a : {Mnu_ObjGrid, Mnu_ObjBorders, Mnu_ObjDimOverlay, Mnu_ObjHideOverlay})
        a->setCheckable(true);
    Mnu_ObjGrid->setChecked(true);
    Mnu_ObjBorders->setChecked(true);
}

void TFormObject::CreateToolBars()
{
    ToolBar_Tools = new QToolBar(this);
    ToolBar_Tools->setObjectName(QStringLiteral("ToolBar_Tools"));
    ToolBar_Tools->setIconSize(QSize(16, 16));
    const QColor ink = palette().color(QPalette::WindowText);
    const auto tool = [this](const char* name, const QString& caption, const QIcon& icon, Tool which)
    {
        auto* a = new QAction(icon, caption, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setCheckable(true);
        a->setStatusTip(caption);
        ToolBar_Tools->addAction(a);
        ToolBar_Tools->widgetForAction(a)->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, which] { SelectTool(which); });
        return a;
    };
    Btn_ObjBrush1 = tool("Btn_ObjBrush1", QStringLiteral("Paintbrush 1"), ToolIcon(QStringLiteral("brush1")),
                         Tool::Brush1);
    Btn_ObjBrush2 = tool("Btn_ObjBrush2", QStringLiteral("Paintbrush 2"), ToolIcon(QStringLiteral("brush2")),
                         Tool::Brush2);
    Btn_ObjFlood = tool("Btn_ObjFlood", QStringLiteral("Flood fill"), ToolIcon(QStringLiteral("flood")),
                        Tool::FloodFill);
    Btn_ObjLine = tool("Btn_ObjLine", QStringLiteral("Line"), ShapeIcon(Tool::Line, ink), Tool::Line);
    Btn_ObjRectangle = tool("Btn_ObjRectangle", QStringLiteral("Rectangle"), ShapeIcon(Tool::Rectangle, ink),
                            Tool::Rectangle);
    Btn_ObjFilledRectangle = tool("Btn_ObjFilledRectangle", QStringLiteral("Filled rectangle"),
                                  ShapeIcon(Tool::FilledRectangle, ink), Tool::FilledRectangle);
    Btn_ObjSelect = tool("Btn_ObjSelect", QStringLiteral("Select a rectangle to copy"),
                         ShapeIcon(Tool::Select, ink), Tool::Select);
    auto* tools = new QActionGroup(this);
    for (QAction* a : {Btn_ObjBrush1, Btn_ObjBrush2, Btn_ObjFlood, Btn_ObjLine, Btn_ObjRectangle,
                       Btn_ObjFilledRectangle, Btn_ObjSelect})
        tools->addAction(a);
    Btn_ObjBrush1->setChecked(true);
    // The view's commands in short words; their menu items and hints say them in full.
    ToolBar_Tools->addSeparator();
    const struct
    {
        QAction* action;
        const char* name;
        const char* caption;
    } viewButtons[] = {{Mnu_ObjZoomOut, "Btn_ObjZoomOut", "\u2212"},
                       {Mnu_ObjZoomIn, "Btn_ObjZoomIn", "+"},
                       {Mnu_ObjFit, "Btn_ObjFit", "Fit"},
                       {nullptr, nullptr, nullptr},
                       {Mnu_ObjGrid, "Btn_ObjGrid", "Grid"},
                       {Mnu_ObjBorders, "Btn_ObjBorders", "Borders"},
                       {Mnu_ObjDimOverlay, "Btn_ObjDim", "Dim"},
                       {Mnu_ObjHideOverlay, "Btn_ObjHide", "Hide"}};
    for (const auto& b : viewButtons)
    {
        if (b.action == nullptr)
        {
            ToolBar_Tools->addSeparator();
            continue;
        }
        b.action->setIconText(QString::fromUtf8(b.caption));
        ToolBar_Tools->addAction(b.action);
        ToolBar_Tools->widgetForAction(b.action)->setObjectName(QString::fromLatin1(b.name));
    }

    // The pens: the cells' four and the overlay's colour, as colour swatches with captions.
    ToolBar_Pens = new QToolBar(this);
    ToolBar_Pens->setObjectName(QStringLiteral("ToolBar_Pens"));
    ToolBar_Pens->setIconSize(QSize(16, 16));
    ToolBar_Pens->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const auto pen = [this](const char* name, const QString& caption, Qt::Key key, int value)
    {
        auto* a = new QAction(caption, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setCheckable(true);
        a->setShortcut(QKeySequence(key));
        a->setShortcutContext(Qt::WindowShortcut);
        a->setToolTip(QStringLiteral("%1 (%2); the right button paints transparent")
                          .arg(caption, QKeySequence(key).toString(QKeySequence::NativeText)));
        a->setStatusTip(a->toolTip());
        ToolBar_Pens->addAction(a);
        ToolBar_Pens->widgetForAction(a)->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, value] { SelectPen(value); });
        return a;
    };
    Btn_ObjPenTransp = pen("Btn_ObjPenTransp", QStringLiteral("Transparent"), Qt::Key_F1, 0);
    Btn_ObjPenSprite = pen("Btn_ObjPenSprite", QStringLiteral("Sprite Colour"), Qt::Key_F2, 2);
    Btn_ObjPenMulti1 = pen("Btn_ObjPenMulti1", QStringLiteral("Multi-colour 1"), Qt::Key_F3, 1);
    Btn_ObjPenMulti2 = pen("Btn_ObjPenMulti2", QStringLiteral("Multi-colour 2"), Qt::Key_F4, 3);
    Btn_ObjPenOverlay = pen("Btn_ObjPenOverlay", QStringLiteral("Overlay Colour"), Qt::Key_F5, kOverlayPen);
    auto* pens = new QActionGroup(this);
    for (QAction* a :
         {Btn_ObjPenTransp, Btn_ObjPenSprite, Btn_ObjPenMulti1, Btn_ObjPenMulti2, Btn_ObjPenOverlay})
        pens->addAction(a);
    Btn_ObjPenSprite->setChecked(true);
}

void TFormObject::RestoreSettings()
{
    Canvas_Object->setZoom(settings::Value(kSettings + QStringLiteral("zoom"), 8).toInt());
    Mnu_ObjGrid->setChecked(settings::Value(kSettings + QStringLiteral("grid"), true).toBool());
    Mnu_ObjBorders->setChecked(settings::Value(kSettings + QStringLiteral("borders"), true).toBool());
    Mnu_ObjDimOverlay->setChecked(settings::Value(kSettings + QStringLiteral("dimOverlay"), false).toBool());
    Canvas_Object->setGridShown(Mnu_ObjGrid->isChecked());
    Canvas_Object->setBordersShown(Mnu_ObjBorders->isChecked());
    const QSize size = settings::Value(kSettings + QStringLiteral("size")).toSize();
    if (size.isValid()) resize(size.expandedTo(minimumSizeHint()));
    // Beside the main window at first, then where the user last left it.
    if (parentWidget() != nullptr)
    {
        const QRect main = parentWidget()->frameGeometry();
        move(settings::OnScreen(QPoint(main.right() + 4, main.top()), frameGeometry().size()));
    }
    settings::RestorePosition(this, QStringLiteral("objectEditor"));
}

void TFormObject::SaveSettings() const
{
    settings::SetValue(kSettings + QStringLiteral("zoom"), Canvas_Object->zoom());
    settings::SetValue(kSettings + QStringLiteral("grid"), Mnu_ObjGrid->isChecked());
    settings::SetValue(kSettings + QStringLiteral("borders"), Mnu_ObjBorders->isChecked());
    settings::SetValue(kSettings + QStringLiteral("dimOverlay"), Mnu_ObjDimOverlay->isChecked());
    settings::SetValue(kSettings + QStringLiteral("size"), size());
    settings::SavePosition(this, QStringLiteral("objectEditor"));
}

bool TFormObject::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate) AdoptMainTool();
    return QDialog::event(event);
}

void TFormObject::hideEvent(QHideEvent* event)
{
    SaveSettings();
    QDialog::hideEvent(event);
}

// ---- The objects and their grids ----

int TFormObject::currentObject() const
{
    return m_objectIndex;
}

SpriteObject* TFormObject::Object()
{
    std::vector<SpriteObject>& objects = m_host.document().extras.objects;
    if (m_objectIndex < 0 || m_objectIndex >= static_cast<int>(objects.size())) return nullptr;
    return &objects[static_cast<std::size_t>(m_objectIndex)];
}

void TFormObject::SelectObject(int index)
{
    const std::vector<SpriteObject>& objects = m_host.document().extras.objects;
    if (objects.empty())
        index = -1;
    else
        index = std::clamp(index, 0, static_cast<int>(objects.size()) - 1);
    const bool other =
        index != m_objectIndex ||
        (index >= 0 && QString::fromStdString(objects[static_cast<std::size_t>(index)].name) != m_objectName);
    m_objectIndex = index;
    m_objectName =
        index < 0 ? QString() : QString::fromStdString(objects[static_cast<std::size_t>(index)].name);
    if (other)
    {
        m_selection = QRect();
        Canvas_Object->setSelection(m_selection);
    }
    RefreshAll();
}

void TFormObject::List_ObjectsChange(int row)
{
    if (m_refreshing || row < 0) return;
    SelectObject(row);
}

void TFormObject::RefreshAll()
{
    RefreshList();
    RefreshGrid();
    RefreshPens();
    RefreshPicture();
    RefreshActions();
}

void TFormObject::DocumentRefreshed()
{
    // This window's own changes are shown already.
    if (m_changing) return;
    // The object shown is followed by its name (an undo may have moved or removed it).
    const std::vector<SpriteObject>& objects = m_host.document().extras.objects;
    int index = -1;
    for (std::size_t i = 0; i < objects.size(); ++i)
        if (QString::fromStdString(objects[i].name) == m_objectName) index = static_cast<int>(i);
    if (index < 0) index = std::min(m_objectIndex, static_cast<int>(objects.size()) - 1);
    if (index < 0 && !objects.empty()) index = 0;
    SelectObject(index);
}

void TFormObject::RefreshList()
{
    QStringList entries;
    for (const SpriteObject& object : m_host.document().extras.objects)
        entries << ListEntry(object);
    m_refreshing = true;
    if (entries != m_listShown)
    {
        List_Objects->clear();
        List_Objects->addItems(entries);
        m_listShown = entries;
    }
    if (List_Objects->currentRow() != m_objectIndex) List_Objects->setCurrentRow(m_objectIndex);
    m_refreshing = false;
}

void TFormObject::RefreshGrid()
{
    const SpriteObject* object = Object();
    // Whether its sprites are in use may change whenever the quantity does.
    const QString problem =
        object == nullptr
            ? QString()
            : QString::fromStdString(ObjectUseProblem(*object, m_host.document().bank.spriteCount));
    Label_ObjectProblem->setText(problem);
    Label_ObjectProblem->setVisible(!problem.isEmpty());
    if (object != nullptr && *object == m_shown && !m_shown.name.empty()) return; // shown already
    m_shown = object != nullptr ? *object : SpriteObject();
    m_refreshing = true;
    GroupBox_Grid->setEnabled(object != nullptr);
    Spin_Columns->setValue(m_shown.columns);
    Spin_Rows->setValue(m_shown.rows);
    const auto fill = [this](QTableWidget* table, const std::vector<int>& layer)
    {
        const bool used = !layer.empty();
        const int columns = used ? m_shown.columns : 0, rows = used ? m_shown.rows : 0;
        if (table->columnCount() != columns || table->rowCount() != rows)
        {
            table->setColumnCount(columns);
            table->setRowCount(rows);
            const int width = table->fontMetrics().horizontalAdvance(QStringLiteral("2550")) + 8;
            for (int c = 0; c < columns; ++c)
                table->setColumnWidth(c, width);
            // As tall and as wide as its cells, so the panel keeps its room for the list.
            const int frame = 2 * table->frameWidth();
            table->setFixedSize(table->horizontalHeader()->length() + frame,
                                table->verticalHeader()->length() + frame);
        }
        // The items stay (one may be the one just edited); only their text changes.
        for (int i = 0; i < columns * rows; ++i)
        {
            const QString text = QString::number(layer[static_cast<std::size_t>(i)]);
            QTableWidgetItem* item = table->item(i / columns, i % columns);
            if (item == nullptr)
            {
                item = new QTableWidgetItem(text);
                item->setTextAlignment(Qt::AlignCenter);
                table->setItem(i / columns, i % columns, item);
            }
            else if (item->text() != text)
                item->setText(text);
        }
        table->setVisible(used);
    };
    fill(Table_Cells, object != nullptr ? m_shown.cells : std::vector<int>());
    fill(Table_OverlayCells, m_shown.overlayCells);
    Chk_OverlayLayer->setChecked(object != nullptr && HasOverlayLayer(m_shown));
    // The panel's layout learns the tables' new sizes now, not at the next event.
    GroupBox_Grid->layout()->activate();
    GroupBox_Grid->updateGeometry();
    m_refreshing = false;
}

void TFormObject::RefreshActions()
{
    const bool shown = m_objectIndex >= 0;
    for (QAction* a : {Mnu_ObjRename, Mnu_ObjDelete, Mnu_ObjSelectAll, Mnu_ObjCopy, Mnu_ObjSlideUp,
                       Mnu_ObjSlideDown, Mnu_ObjSlideLeft, Mnu_ObjSlideRight, Mnu_ObjFlipLeftRight,
                       Mnu_ObjFlipTopBottom, Mnu_ObjMirrorLeft, Mnu_ObjMirrorTop, Mnu_ObjNegative,
                       Mnu_ObjClear, Mnu_ObjSplit, Mnu_ObjFit, Mnu_ObjZoomIn, Mnu_ObjZoomOut})
        a->setEnabled(shown);
    Mnu_ObjPaste->setEnabled(shown && m_clip.width > 0);
    Mnu_ObjUndo->setEnabled(CanUndo(m_host.document()));
    Mnu_ObjRedo->setEnabled(CanRedo(m_host.document()));
    Label_Zoom->setText(QStringLiteral("%1x").arg(Canvas_Object->zoom()));
}

void TFormObject::Changed(bool undoStep)
{
    // The picture and the controls first, then the main window (which does not call back).
    m_changing = true;
    RefreshAll();
    m_host.documentChanged(undoStep);
    m_changing = false;
    RefreshActions();
}

void TFormObject::ShowMessage(const QString& text)
{
    ::ShowMessage(this, QStringLiteral("Object Editor"), text);
}

void TFormObject::ShowStatus(const QString& text)
{
    StatusBar_Object->showMessage(text);
}

// ---- The Object menu ----

QString TFormObject::NameProblem(const QString& name, int skip) const
{
    SpriteObject probe;
    probe.name = name.toStdString();
    probe.cells = {0};
    const std::string problem = ObjectProblem(probe);
    if (!problem.empty()) return QString::fromStdString(problem);
    const std::vector<SpriteObject>& objects = m_host.document().extras.objects;
    for (std::size_t i = 0; i < objects.size(); ++i)
        if (static_cast<int>(i) != skip && objects[i].name == probe.name)
            return QStringLiteral("There is an object named \"%1\" already.").arg(name);
    return QString();
}

QString TFormObject::AskName(const QString& title, const QString& label, const QString& proposed)
{
    QInputDialog dialog(this);
    dialog.setObjectName(QStringLiteral("FormObjectName"));
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setTextValue(proposed);
    if (dialog.exec() != QDialog::Accepted) return QString();
    return dialog.textValue().trimmed();
}

namespace
{

// "objectN" with the first N no object has.
QString FreeName(const std::vector<SpriteObject>& objects)
{
    for (int n = 1;; ++n)
    {
        const std::string name = "object" + std::to_string(n);
        if (FindObject(objects, name) == nullptr) return QString::fromStdString(name);
    }
}

} // namespace

void TFormObject::Mnu_ObjNewClick()
{
    Document& document = m_host.document();
    const QString name = AskName(QStringLiteral("New Object"), QStringLiteral("Name of the object:"),
                                 FreeName(document.extras.objects));
    if (name.isEmpty()) return;
    const QString problem = NameProblem(name, -1);
    if (!problem.isEmpty()) return ShowMessage(problem);
    const std::optional<SpriteObject> object =
        MakeObject(name.toStdString(), std::clamp(document.bank.currentSprite, 0, kSlotCount - 1), 1, 1);
    document.extras.objects.push_back(*object);
    m_objectName = name;
    m_objectIndex = static_cast<int>(document.extras.objects.size()) - 1;
    Changed(true);
}

void TFormObject::Mnu_ObjNewFromSelectionClick()
{
    Document& document = m_host.document();
    const QString name = AskName(QStringLiteral("New Object from Selection"),
                                 QStringLiteral("Name of the object:"), FreeName(document.extras.objects));
    if (name.isEmpty()) return;
    const QString problem = NameProblem(name, -1);
    if (!problem.isEmpty()) return ShowMessage(problem);
    const std::optional<SpriteObject> object =
        ProposeObjectFromRange(document.bank.sprites, document.bank.spriteCount, document.bank.rangeStart,
                               document.bank.rangeEnd, name.toStdString());
    if (!object) return ShowMessage(QStringLiteral("There are no sprites in use to make an object of."));
    document.extras.objects.push_back(*object);
    m_objectName = name;
    m_objectIndex = static_cast<int>(document.extras.objects.size()) - 1;
    Changed(true);
    Mnu_ObjFitClick();
}

void TFormObject::Mnu_ObjRenameClick()
{
    SpriteObject* object = Object();
    if (object == nullptr) return;
    const QString name = AskName(QStringLiteral("Rename Object"), QStringLiteral("New name:"),
                                 QString::fromStdString(object->name));
    if (name.isEmpty() || name.toStdString() == object->name) return;
    const QString problem = NameProblem(name, m_objectIndex);
    if (!problem.isEmpty()) return ShowMessage(problem);
    // Sequence frames that show the object follow it, in the same undo step.
    const int frames =
        RenameObjectFrames(m_host.document().extras.sequences, object->name, name.toStdString());
    object->name = name.toStdString();
    m_objectName = name;
    Changed(true);
    if (frames > 0)
        ShowStatus(
            frames == 1
                ? QStringLiteral("Renamed; 1 sequence frame shows it under its new name.")
                : QStringLiteral("Renamed; %1 sequence frames show it under its new name.").arg(frames));
}

void TFormObject::Mnu_ObjDeleteClick()
{
    if (Object() == nullptr) return;
    std::vector<SpriteObject>& objects = m_host.document().extras.objects;
    const QString name = m_objectName;
    objects.erase(objects.begin() + m_objectIndex);
    m_objectIndex = std::min(m_objectIndex, static_cast<int>(objects.size()) - 1);
    m_objectName = m_objectIndex < 0
                       ? QString()
                       : QString::fromStdString(objects[static_cast<std::size_t>(m_objectIndex)].name);
    m_selection = QRect();
    Canvas_Object->setSelection(m_selection);
    Changed(true);
    ShowStatus(QStringLiteral("Deleted the object \"%1\"; its sprites stay. Undo brings it back.").arg(name));
}

// ---- The grid ----

void TFormObject::Spin_GridChange()
{
    SpriteObject* object = Object();
    if (m_refreshing || object == nullptr) return;
    SpriteObject resized = *object;
    if (!ResizeObject(resized, Spin_Columns->value(), Spin_Rows->value()))
    {
        ShowStatus(QStringLiteral("The grid cannot grow: its new cells would need sprites beyond slot 255."));
        m_shown = SpriteObject();
        RefreshGrid();
        return;
    }
    *object = resized;
    Changed(true);
}

void TFormObject::Table_CellsChange(QTableWidgetItem* item)
{
    SpriteObject* object = Object();
    if (m_refreshing || object == nullptr || item == nullptr) return;
    const bool overlay = item->tableWidget() == Table_OverlayCells;
    std::vector<int>& layer = overlay ? object->overlayCells : object->cells;
    const std::size_t cell = static_cast<std::size_t>(item->row() * object->columns + item->column());
    bool ok = false;
    const int slot = item->text().trimmed().toInt(&ok);
    SpriteObject changed = *object;
    if (cell < layer.size() && ok) (overlay ? changed.overlayCells : changed.cells)[cell] = slot;
    const std::string problem =
        ok ? ObjectProblem(changed) : "A cell's sprite is a slot number from 0 to 255.";
    if (cell >= layer.size() || !problem.empty())
    {
        m_shown = SpriteObject(); // shown again as the object holds it
        RefreshGrid();
        if (!problem.empty()) ShowMessage(QString::fromStdString(problem));
        return;
    }
    *object = changed;
    Changed(true);
}

void TFormObject::Chk_OverlayLayerClick(bool checked)
{
    SpriteObject* object = Object();
    if (m_refreshing || object == nullptr) return;
    if (!checked)
    {
        object->overlayCells.clear();
        Changed(true);
        return;
    }
    // The layer takes the slots after the highest one the object uses.
    int next = 0;
    for (int slot : object->cells)
        next = std::max(next, slot + 1);
    SpriteObject layered = *object;
    if (!AddOverlayLayer(layered, next))
    {
        Chk_OverlayLayer->setChecked(false);
        return ShowMessage(QStringLiteral("An overlay layer needs %1 sprites after slot %2, beyond slot 255.")
                               .arg(object->cells.size())
                               .arg(next - 1));
    }
    *object = layered;
    Changed(true);
}
