// The object editor: the project's objects (named grids of sprite cells, optionally with
// an overlay layer of hires sprites over them), each painted as one picture across the
// seams of its cells.
//
// It works on the document through TEditorHost: every change is made on the document's
// sprites or extras and recorded as one step of the project's undo history; the main
// window's views follow at once, and this window follows every change the main window
// makes (TEditorHost::viewsRefreshed). It is not modal: the main window keeps one and
// shows it again when its command runs.
//
// The window is split by concern:
//   FormObject.cpp          controls and menus, the list of objects and their grids,
//                           following the document
//   FormObjectPaint.cpp     the canvas: tools, pens, strokes, zoom, the status bar
//   FormObjectCommands.cpp  whole-object transforms, copy and paste, the overlay split
#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>

#include <vector>

#include "core/ObjectTransforms.h"
#include "core/Objects.h"
#include "core/Types.h"

class QAction;
class QActionGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QScrollArea;
class QSpinBox;
class QSplitter;
class QStatusBar;
class QTableWidget;
class QTableWidgetItem;
class QToolBar;
class TEditorHost;
class TObjectCanvas;

class TFormObject : public QDialog
{
    Q_OBJECT
  public:
    // The painting tools: the main window's three, and lines, rectangles and the selection.
    enum class Tool
    {
        Brush1,
        Brush2,
        FloodFill,
        Line,
        Rectangle,
        FilledRectangle,
        Select,
    };

    TFormObject(TEditorHost& host, QWidget* parent);
    ~TFormObject() override;

    // ---- State that tests read ----
    // The object shown: an index into the document's extras.objects, -1 when none.
    int currentObject() const;
    Tool tool() const { return m_tool; }
    // The pen of the left button: a pixel value 0..3, or kelmora::kOverlayPen.
    int pen() const { return m_pen; }
    int zoom() const;
    // The picture pixel under a point of the view (the scroll area's viewport).
    QPoint PicturePointAt(QPoint viewportPoint) const;
    // The selection in picture pixels; empty when there is none.
    QRect selection() const { return m_selection; }

    // ---- Operations ----
    // Shows the object of this index (kept inside the list; nothing when there is none).
    void SelectObject(int index);
    void SelectTool(Tool tool);
    void SelectPen(int pen);
    // Zooms to zoom (kept to 2..32), keeping the picture pixel under the view's point
    // anchor under it where the view can scroll that far.
    void SetZoom(int zoom, QPoint anchor);

  public slots:
    // ---- Object menu ----
    void Mnu_ObjNewClick();
    void Mnu_ObjNewFromSelectionClick();
    void Mnu_ObjRenameClick();
    void Mnu_ObjDeleteClick();
    // ---- Edit menu ----
    void Mnu_ObjUndoClick();
    void Mnu_ObjRedoClick();
    void Mnu_ObjSelectAllClick();
    void Mnu_ObjCopyClick();
    void Mnu_ObjPasteClick();
    void Mnu_ObjSlideUpClick();
    void Mnu_ObjSlideDownClick();
    void Mnu_ObjSlideLeftClick();
    void Mnu_ObjSlideRightClick();
    void Mnu_ObjFlipLeftRightClick();
    void Mnu_ObjFlipTopBottomClick();
    void Mnu_ObjMirrorLeftClick();
    void Mnu_ObjMirrorTopClick();
    void Mnu_ObjNegativeClick();
    void Mnu_ObjClearClick();
    void Mnu_ObjSplitClick();
    // ---- View menu ----
    void Mnu_ObjZoomInClick();
    void Mnu_ObjZoomOutClick();
    void Mnu_ObjFitClick();
    void Mnu_ObjViewOptionClick();
    // ---- The list and the grid ----
    void List_ObjectsChange(int row);
    void Spin_GridChange();
    void Table_CellsChange(QTableWidgetItem* item);
    void Chk_OverlayLayerClick(bool checked);
    // ---- The canvas ----
    void Canvas_MouseDown(Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                          QPoint at);
    void Canvas_MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint at);
    void Canvas_MouseUp(Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                        QPoint at);
    void Canvas_ZoomWheel(int notches, QPoint at);
    // The main window redrew its views: the document may have changed.
    void DocumentRefreshed();

  protected:
    bool event(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    // ---- FormObject.cpp ----
    void CreateControls();
    void CreateMenus();
    void CreateToolBars();
    void RestoreSettings();
    void SaveSettings() const;
    // The object shown, or null; editable() also checks it can be painted.
    kelmora::SpriteObject* Object();
    // Everything shown from the document: the list, the grid, the pens, the picture.
    void RefreshAll();
    void RefreshList();
    void RefreshGrid();
    void RefreshActions();
    // Records the document's state as one undo step and has every view redrawn.
    void Changed(bool undoStep);
    // Asks for an object's name; empty when cancelled.
    QString AskName(const QString& title, const QString& label, const QString& proposed);
    // Why name cannot name an object of the list (skipping the object at index skip); "" when it can.
    QString NameProblem(const QString& name, int skip) const;
    void ShowMessage(const QString& text);
    void ShowStatus(const QString& text);

    // ---- FormObjectPaint.cpp ----
    void RefreshPens();
    void RefreshPicture();
    void AdoptMainTool();
    // The picture pixel under a point of the canvas.
    QPoint PictureAt(QPoint canvasPoint) const;
    // True when the object can be painted; otherwise says why in the status bar.
    bool Paintable();
    // Paints the tool's shape of the stroke under way up to picture point to.
    int PaintStrokeTo(QPoint to);
    void ShowPointer(QPoint picturePoint);
    void ZoomStep(int direction, QPoint anchor);
    // The view's point under the mouse pointer, or its centre when the pointer is elsewhere.
    QPoint ZoomAnchor() const;

    // ---- FormObjectCommands.cpp ----
    // Runs a whole-object transform as one undo step; tells why when it cannot run.
    void Transform(bool (*operation)(kelmora::SpriteBank&, const kelmora::SpriteObject&));

    TEditorHost& m_host;

    // ---- What is shown ----
    QString m_objectName;          // the object shown, followed by name through changes
    int m_objectIndex = -1;        // its index in the document's list
    kelmora::SpriteObject m_shown; // the object the grid controls show
    QStringList m_listShown;       // the list's entries as shown
    bool m_refreshing = false;     // the controls are being set from the document
    bool m_changing = false;       // this window is changing the document
    Tool m_tool = Tool::Brush1;
    int m_pen = 2;
    int m_mainPenSeen = -1; // the main window's pen and tool when last adopted
    int m_mainToolSeen = -1;
    QRect m_selection;
    kelmora::ObjectClip m_clip;

    // A stroke under way: from the press to the release of one button.
    struct Stroke
    {
        bool active = false;
        Qt::MouseButton button = Qt::NoButton;
        int pen = 0;
        QPoint start;
        QPoint last;
        int changed = 0;
        std::vector<kelmora::u8> before; // the sprites at the press, for lines and rectangles
    } m_stroke;

    // ---- Controls (tests find them by these object names) ----
    QToolBar* ToolBar_Tools = nullptr;
    QToolBar* ToolBar_Pens = nullptr;
    QSplitter* Splitter_Object = nullptr;
    QListWidget* List_Objects = nullptr;
    QGroupBox* GroupBox_Grid = nullptr;
    QSpinBox* Spin_Columns = nullptr;
    QSpinBox* Spin_Rows = nullptr;
    QTableWidget* Table_Cells = nullptr;
    QCheckBox* Chk_OverlayLayer = nullptr;
    QTableWidget* Table_OverlayCells = nullptr;
    QLabel* Label_ObjectProblem = nullptr;
    QScrollArea* ScrollBox_Object = nullptr;
    TObjectCanvas* Canvas_Object = nullptr;
    QStatusBar* StatusBar_Object = nullptr;
    QLabel* Label_Zoom = nullptr;

    QAction *Mnu_ObjNew = nullptr, *Mnu_ObjNewFromSelection = nullptr, *Mnu_ObjRename = nullptr,
            *Mnu_ObjDelete = nullptr, *Mnu_ObjClose = nullptr;
    QAction *Mnu_ObjUndo = nullptr, *Mnu_ObjRedo = nullptr, *Mnu_ObjSelectAll = nullptr,
            *Mnu_ObjCopy = nullptr, *Mnu_ObjPaste = nullptr, *Mnu_ObjSlideUp = nullptr,
            *Mnu_ObjSlideDown = nullptr, *Mnu_ObjSlideLeft = nullptr, *Mnu_ObjSlideRight = nullptr,
            *Mnu_ObjFlipLeftRight = nullptr, *Mnu_ObjFlipTopBottom = nullptr, *Mnu_ObjMirrorLeft = nullptr,
            *Mnu_ObjMirrorTop = nullptr, *Mnu_ObjNegative = nullptr, *Mnu_ObjClear = nullptr,
            *Mnu_ObjSplit = nullptr;
    QAction *Mnu_ObjZoomIn = nullptr, *Mnu_ObjZoomOut = nullptr, *Mnu_ObjFit = nullptr,
            *Mnu_ObjGrid = nullptr, *Mnu_ObjBorders = nullptr, *Mnu_ObjDimOverlay = nullptr,
            *Mnu_ObjHideOverlay = nullptr;
    QAction *Btn_ObjBrush1 = nullptr, *Btn_ObjBrush2 = nullptr, *Btn_ObjFlood = nullptr,
            *Btn_ObjLine = nullptr, *Btn_ObjRectangle = nullptr, *Btn_ObjFilledRectangle = nullptr,
            *Btn_ObjSelect = nullptr;
    QAction *Btn_ObjPenTransp = nullptr, *Btn_ObjPenMulti1 = nullptr, *Btn_ObjPenSprite = nullptr,
            *Btn_ObjPenMulti2 = nullptr, *Btn_ObjPenOverlay = nullptr;
};
