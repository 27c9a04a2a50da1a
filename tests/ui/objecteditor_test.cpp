// The object editor beside the main window, driven by real mouse, wheel and key events:
// strokes across the seams of cells as one undo step, overlay painting, zoom around the
// pointer, and the main window and the object editor following each other's changes.
// The bytes each tool and transform writes are proven by the core's suites.
#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QWheelEvent>

#include "UiTestSupport.h"
#include "ui/Form1.h"
#include "ui/Widgets.h"
#include "ui/tools/FormObject.h"
#include "ui/tools/ObjectCanvas.h"

using namespace kelmora;

namespace
{

u8* Sprite(TForm1& w, int slot)
{
    return w.document().bank.sprites + slot * kSpriteBytes;
}

// Gives the document the objects and opens the object editor on the first.
TFormObject* OpenEditor(TForm1& w, const std::vector<SpriteObject>& objects, int zoom = 8)
{
    w.document().extras.objects = objects;
    RestartHistory(w.document());
    w.RefreshAll();
    uitest::Child<QAction>(w, "Mnu_ObjectEditor")->trigger();
    auto* editor = w.findChild<TFormObject*>();
    if (editor == nullptr) return nullptr;
    (void)QTest::qWaitForWindowExposed(editor);
    editor->SetZoom(zoom, QPoint(0, 0));
    return editor;
}

TObjectCanvas* Canvas(TFormObject& editor)
{
    return uitest::Child<TObjectCanvas>(editor, "Canvas_Object");
}

// The middle of picture pixel p on the canvas.
QPoint At(TFormObject& editor, QPoint p)
{
    const int zoom = editor.zoom();
    return QPoint(p.x() * zoom + zoom / 2, p.y() * zoom + zoom / 2);
}

void Press(TFormObject& editor, QPoint p, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mousePress(Canvas(editor), button, {}, At(editor, p));
}
void Drag(TFormObject& editor, QPoint p, Qt::MouseButtons held = Qt::LeftButton)
{
    QWidget* canvas = Canvas(editor);
    const QPoint at = At(editor, p);
    QMouseEvent event(QEvent::MouseMove, at, canvas->mapToGlobal(at), Qt::NoButton, held, Qt::NoModifier);
    QApplication::sendEvent(canvas, &event);
}
void Release(TFormObject& editor, QPoint p, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseRelease(Canvas(editor), button, {}, At(editor, p));
}

// The colour the canvas shows at picture pixel p (its 1:1 picture).
unsigned CanvasColour(TFormObject& editor, QPoint p)
{
    return uitest::Rgb(Canvas(editor)->picture(), p.x(), p.y());
}

unsigned Base(const TForm1& w, int colour)
{
    return w.host().viewColours()[colour] & 0xFFFFFFu;
}

// What the main window's editor shows at sprite pixel (x, y) of the current sprite.
unsigned MainEditorColour(const TForm1& w, int x, int y, bool multicolour)
{
    const int width = multicolour ? 16 : 8;
    return uitest::Rgb(uitest::Shown(w, "PaintBox_Editor"), x * width + 3, y * 8 + 3);
}

void AnswerName(const QString& name)
{
    uitest::WhenModal(
        [name](QWidget* modal)
        {
            auto* dialog = qobject_cast<QInputDialog*>(modal);
            if (dialog == nullptr)
            {
                modal->close();
                return;
            }
            dialog->setTextValue(name);
            dialog->accept();
        });
}

} // namespace

class ObjectEditorTest : public QObject
{
    Q_OBJECT
  private slots:
    void strokeAcrossSeamsIsOneUndoStepThatTheMainWindowShowsAtOnce();
    void linesAndRectanglesAreDrawnFromThePress();
    void overlayPaintingSetsAndClearsTheRightBits();
    void zoomKeepsThePixelUnderThePointer();
    void mainWindowAndEditorFollowEachOther();
    void gridEditsTransformsAndPasteAreUndoable();
};

void ObjectEditorTest::strokeAcrossSeamsIsOneUndoStepThatTheMainWindowShowsAtOnce()
{
    auto w = uitest::NewWindow();
    // Cell 0: hires sprite 0 in white; cell 1: multicolour sprite 1.
    Sprite(*w, 0)[kAttributeByte] = 1;
    Sprite(*w, 1)[kAttributeByte] = kAttrMulticolour | 7;
    TFormObject* editor = OpenEditor(*w, {*MakeObject("pair", 0, 2, 1)});
    QVERIFY(editor != nullptr);
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->currentObject(), 0);
    const int before = HistoryPosition(w->document().history);

    // From picture (21, 4) right across the seam at x 24 to (27, 4).
    Press(*editor, QPoint(21, 4));
    for (int x = 22; x <= 27; ++x)
        Drag(*editor, QPoint(x, 4));
    // The main window shows sprite 0's new pixels before the button is released.
    QCOMPARE(MainEditorColour(*w, 23, 4, false), Base(*w, 1));
    QCOMPARE(editor->findChild<QStatusBar*>()->currentMessage(),
             QStringLiteral("Cell (1, 0): sprite 1, pixel (1, 4)  -  picture (27, 4)"));
    Release(*editor, QPoint(27, 4));

    for (int x = 21; x < 24; ++x)
        QCOMPARE(GetPixel(w->document().bank.sprites, 0, x, 4), 2);
    QCOMPARE(GetPixel(w->document().bank.sprites, 0, 20, 4), 0);
    // Picture 24..27 are the multicolour sprite's pixels 0 and 1, in the sprite's colour.
    QCOMPARE(GetPixel(w->document().bank.sprites, 1, 0, 4), 2);
    QCOMPARE(GetPixel(w->document().bank.sprites, 1, 1, 4), 2);
    QCOMPARE(GetPixel(w->document().bank.sprites, 1, 2, 4), 0);
    QCOMPARE(CanvasColour(*editor, QPoint(26, 4)), Base(*w, 7));
    QCOMPARE(HistoryPosition(w->document().history), before + 1);

    // One undo takes the whole stroke back, in both windows.
    uitest::Child<QAction>(*editor, "Mnu_ObjUndo")->trigger();
    QCOMPARE(GetPixel(w->document().bank.sprites, 0, 22, 4), 0);
    QCOMPARE(GetPixel(w->document().bank.sprites, 1, 1, 4), 0);
    QCOMPARE(CanvasColour(*editor, QPoint(22, 4)), Base(*w, 11));
    QCOMPARE(MainEditorColour(*w, 22, 4, false), Base(*w, 11));
    QVERIFY(!uitest::Child<QAction>(*editor, "Mnu_ObjUndo")->isEnabled());

    // The right button paints transparent; a click that changes nothing records nothing.
    uitest::Child<QAction>(*editor, "Mnu_ObjRedo")->trigger();
    Press(*editor, QPoint(22, 4), Qt::RightButton);
    Release(*editor, QPoint(22, 4), Qt::RightButton);
    QCOMPARE(GetPixel(w->document().bank.sprites, 0, 22, 4), 0);
    const int afterErase = HistoryPosition(w->document().history);
    Press(*editor, QPoint(22, 4), Qt::RightButton);
    Release(*editor, QPoint(22, 4), Qt::RightButton);
    QCOMPARE(HistoryPosition(w->document().history), afterErase);

    // A cell whose sprite is not in use cannot be painted, and the status bar says why.
    uitest::SetQuantity(*w, 1);
    Press(*editor, QPoint(30, 4));
    Release(*editor, QPoint(30, 4));
    QCOMPARE(GetPixel(w->document().bank.sprites, 1, 3, 4), 0);
    QVERIFY(
        editor->findChild<QStatusBar*>()->currentMessage().contains(QStringLiteral("beyond the 1 sprites")));
}

void ObjectEditorTest::linesAndRectanglesAreDrawnFromThePress()
{
    auto w = uitest::NewWindow();
    for (int slot = 0; slot < 4; ++slot)
        Sprite(*w, slot)[kAttributeByte] = 1; // hires, white
    TFormObject* editor = OpenEditor(*w, {*MakeObject("square", 0, 2, 2)});
    QVERIFY(editor != nullptr);
    const SpriteBank& bank = w->document().bank;
    const auto setPixels = [&]
    {
        int n = 0;
        for (const int v : ObjectPictureValues(bank, w->document().extras.objects[0]))
            n += v == 2;
        return n;
    };

    // A line follows the pointer: only the last one stays.
    uitest::Child<QAction>(*editor, "Btn_ObjLine")->trigger();
    QCOMPARE(editor->tool(), TFormObject::Tool::Line);
    Press(*editor, QPoint(2, 2));
    Drag(*editor, QPoint(40, 30));
    Drag(*editor, QPoint(44, 2));
    Release(*editor, QPoint(44, 2));
    QCOMPARE(setPixels(), 43);
    QCOMPARE(GetPixel(bank.sprites, 1, 20, 2), 2); // across the seam at x 24
    QCOMPARE(GetPixel(bank.sprites, 3, 16, 9), 0); // nothing left of the line to (40, 30)

    // A filled rectangle over all four cells, one undo step.
    const int before = HistoryPosition(w->document().history);
    uitest::Child<QAction>(*editor, "Btn_ObjFilledRectangle")->trigger();
    Press(*editor, QPoint(20, 18));
    Drag(*editor, QPoint(29, 24));
    Release(*editor, QPoint(29, 24));
    QCOMPARE(HistoryPosition(w->document().history), before + 1);
    QCOMPARE(setPixels(), 43 + 10 * 7 - 0);
    QCOMPARE(GetPixel(bank.sprites, 3, 5, 3), 2);
}

void ObjectEditorTest::overlayPaintingSetsAndClearsTheRightBits()
{
    auto w = uitest::NewWindow();
    // A multicolour cell (sprite 0) with a hires overlay sprite (1) in white.
    Sprite(*w, 0)[kAttributeByte] = kAttrMulticolour | 5;
    Sprite(*w, 1)[kAttributeByte] = 1;
    SpriteObject pair = *MakeObject("pair", 0, 1, 1);
    QVERIFY(AddOverlayLayer(pair, 1));
    TFormObject* editor = OpenEditor(*w, {pair});
    QVERIFY(editor != nullptr);
    auto* overlayPen = uitest::Child<QAction>(*editor, "Btn_ObjPenOverlay");
    QVERIFY(overlayPen->isVisible());
    QVERIFY(uitest::Child<QAction>(*editor, "Btn_ObjPenMulti1")->isVisible());

    // The overlay colour sets the hires overlay pixel and leaves the cell's sprite alone.
    QTest::keyClick(editor, Qt::Key_F5);
    QCOMPARE(editor->pen(), kOverlayPen);
    Press(*editor, QPoint(5, 3));
    Release(*editor, QPoint(5, 3));
    QCOMPARE(GetPixel(w->document().bank.sprites, 1, 5, 3), 2);
    QCOMPARE(GetPixel(w->document().bank.sprites, 1, 4, 3), 0);
    QCOMPARE(GetPixel(w->document().bank.sprites, 0, 2, 3), 0);
    QCOMPARE(CanvasColour(*editor, QPoint(5, 3)), Base(*w, 1));

    // Hidden, the overlay pixel shows the background under it; dimmed, something between.
    uitest::Child<QAction>(*editor, "Mnu_ObjHideOverlay")->trigger();
    QCOMPARE(CanvasColour(*editor, QPoint(5, 3)), Base(*w, 11));
    uitest::Child<QAction>(*editor, "Mnu_ObjHideOverlay")->trigger();
    uitest::Child<QAction>(*editor, "Mnu_ObjDimOverlay")->trigger();
    const unsigned dim = CanvasColour(*editor, QPoint(5, 3));
    QVERIFY(dim != Base(*w, 1) && dim != Base(*w, 11));
    uitest::Child<QAction>(*editor, "Mnu_ObjDimOverlay")->trigger();

    // Multi-colour 1 on picture pixel 4 writes the pixel pair 4..5 of the cell's sprite
    // and clears the overlay pixels over both halves.
    uitest::Child<QAction>(*editor, "Btn_ObjPenMulti1")->trigger();
    Press(*editor, QPoint(4, 3));
    Release(*editor, QPoint(4, 3));
    QCOMPARE(GetPixel(w->document().bank.sprites, 0, 2, 3), 1);
    QCOMPARE(GetPixel(w->document().bank.sprites, 1, 5, 3), 0);
    QCOMPARE(CanvasColour(*editor, QPoint(5, 3)), Base(*w, w->document().bank.colourMulti1));

    // The right button clears both layers under it: transparent.
    QTest::keyClick(editor, Qt::Key_F5);
    Press(*editor, QPoint(9, 7));
    Release(*editor, QPoint(9, 7));
    QCOMPARE(GetPixel(w->document().bank.sprites, 1, 9, 7), 2);
    Press(*editor, QPoint(8, 7), Qt::RightButton);
    Release(*editor, QPoint(8, 7), Qt::RightButton);
    QCOMPARE(GetPixel(w->document().bank.sprites, 1, 9, 7), 0);

    // Without an overlay layer the overlay pen is not offered; the sprite colour takes over.
    uitest::Child<QAction>(*editor, "Mnu_ObjUndo")->trigger();
    w->document().extras.objects[0].overlayCells.clear();
    w->host().documentChanged(true);
    QVERIFY(!overlayPen->isVisible());
    QCOMPARE(editor->pen(), 2);
}

void ObjectEditorTest::zoomKeepsThePixelUnderThePointer()
{
    auto w = uitest::NewWindow();
    TFormObject* editor = OpenEditor(*w, {*MakeObject("big", 0, 4, 4)}, 8);
    QVERIFY(editor != nullptr);
    editor->resize(700, 500);
    QCoreApplication::processEvents();
    auto* view = uitest::Child<QScrollArea>(*editor, "ScrollBox_Object");
    QVERIFY(view->horizontalScrollBar()->maximum() > 0); // 768 x 672 does not fit

    // Ctrl+wheel towards the user and away, at a point of the view off its centre.
    const QPoint anchor(view->viewport()->width() / 3, view->viewport()->height() / 4);
    view->horizontalScrollBar()->setValue(100);
    view->verticalScrollBar()->setValue(60);
    const QPoint under = editor->PicturePointAt(anchor);
    for (const int notches : {1, 1, -1, 2, -3})
    {
        TObjectCanvas* canvas = Canvas(*editor);
        const QPointF at = canvas->mapFrom(view->viewport(), anchor);
        QWheelEvent wheel(at, canvas->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas, &wheel);
        QCOMPARE(editor->PicturePointAt(anchor), under);
    }
    QCOMPARE(editor->zoom(), 8);
    // Up and down the steps: 8 -> 12 -> 16 -> 12 -> 24 -> 8.

    // The keys zoom about the view's centre when the pointer is elsewhere.
    QCursor::setPos(editor->mapToGlobal(QPoint(-50, -50)));
    const QPoint centre = view->viewport()->rect().center();
    const QPoint middle = editor->PicturePointAt(centre);
    QTest::keyClick(editor, Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(editor->zoom(), 12);
    QCOMPARE(editor->PicturePointAt(centre), middle);
    QTest::keyClick(editor, Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(editor->zoom(), 8);

    // The wheel alone is left to the view around the canvas, which scrolls; the zoom stays.
    TObjectCanvas* canvas = Canvas(*editor);
    QWheelEvent scroll(QPointF(50, 50), canvas->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120),
                       Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas, &scroll);
    QVERIFY(!scroll.isAccepted());
    QCOMPARE(editor->zoom(), 8);

    // Fit: the largest zoom that shows the whole picture, down to 2x.
    uitest::Child<QAction>(*editor, "Mnu_ObjFit")->trigger();
    const QSize room = view->maximumViewportSize();
    QCOMPARE(editor->zoom(), std::clamp(std::min(room.width() / 96, room.height() / 84), 2, 32));
    QCOMPARE(uitest::Child<QLabel>(*editor, "Label_Zoom")->text(), QStringLiteral("%1x").arg(editor->zoom()));
    editor->SetZoom(99, QPoint());
    QCOMPARE(editor->zoom(), 32);
    editor->SetZoom(1, QPoint());
    QCOMPARE(editor->zoom(), 2);
}

void ObjectEditorTest::mainWindowAndEditorFollowEachOther()
{
    auto w = uitest::NewWindow();
    Sprite(*w, 0)[kAttributeByte] = 1;
    Sprite(*w, 1)[kAttributeByte] = 1;
    TFormObject* editor = OpenEditor(*w, {});
    QVERIFY(editor != nullptr);
    QCOMPARE(editor->currentObject(), -1);
    auto* list = uitest::Child<QListWidget>(*editor, "List_Objects");

    // New from the main window's selection: 0..3 make a 2 x 2 object.
    w->document().bank.rangeStart = 0;
    w->document().bank.rangeEnd = 3;
    AnswerName(QStringLiteral("boss"));
    uitest::Child<QAction>(*editor, "Mnu_ObjNewFromSelection")->trigger();
    QCOMPARE(w->document().extras.objects.size(), std::size_t{1});
    QCOMPARE(w->document().extras.objects[0].cells, (std::vector<int>{0, 1, 2, 3}));
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(), QStringLiteral("boss  (2 x 2)"));
    QVERIFY(uitest::Child<QAction>(*w, "Mnu_Undo")->isEnabled());

    // A stroke in the main window's editor shows in the object editor at once.
    uitest::Child<QAction>(*w, "Btn_Brush1")->trigger();
    QWidget* mainEditor = uitest::Child<TPaintBox>(*w, "PaintBox_Editor");
    QTest::mousePress(mainEditor, Qt::LeftButton, {}, QPoint(2 * 8 + 3, 5 * 8 + 3));
    QCOMPARE(CanvasColour(*editor, QPoint(2, 5)), Base(*w, 1));
    QTest::mouseRelease(mainEditor, Qt::LeftButton, {}, QPoint(2 * 8 + 3, 5 * 8 + 3));
    // ... and its undo too.
    uitest::Child<QAction>(*w, "Mnu_Undo")->trigger();
    QCOMPARE(CanvasColour(*editor, QPoint(2, 5)), Base(*w, 11));
    QCOMPARE(list->count(), 1);

    // Undoing the new object in the main window takes it off the list; redo brings it back.
    uitest::Child<QAction>(*w, "Mnu_Undo")->trigger();
    QCOMPARE(list->count(), 0);
    QCOMPARE(editor->currentObject(), -1);
    QVERIFY(!uitest::Child<QAction>(*editor, "Mnu_ObjRename")->isEnabled());
    uitest::Child<QAction>(*w, "Mnu_Redo")->trigger();
    QCOMPARE(list->count(), 1);
    QCOMPARE(editor->currentObject(), 0);

    // The editor takes up the main window's tool and pen when it becomes active.
    uitest::Child<QAction>(*w, "Btn_Flood")->trigger();
    uitest::Child<QAction>(*w, "Mnu_ColourTransp")->trigger();
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(editor, &activate);
    QCOMPARE(editor->tool(), TFormObject::Tool::FloodFill);
    QCOMPARE(editor->pen(), 0);

    // Renaming; the window command raises the same window, never a second one.
    // Sequence frames showing the object follow the new name, in the same undo step.
    const std::string oldName = w->document().extras.objects[0].name;
    Sequence shows;
    shows.name = "stomp";
    shows.frames.resize(2);
    shows.frames[1].object = oldName;
    w->document().extras.sequences = {shows};
    w->host().documentChanged(true); // as the Sequences window records it
    AnswerName(QStringLiteral("giant"));
    uitest::Child<QAction>(*editor, "Mnu_ObjRename")->trigger();
    QCOMPARE(w->document().extras.objects[0].name, std::string("giant"));
    QCOMPARE(w->document().extras.sequences[0].frames[1].object, std::string("giant"));
    QCOMPARE(w->document().extras.sequences[0].frames[0].object, std::string());
    uitest::Child<QAction>(*w, "Mnu_Undo")->trigger();
    QCOMPARE(w->document().extras.sequences[0].frames[1].object, oldName);
    uitest::Child<QAction>(*w, "Mnu_Redo")->trigger();
    QCOMPARE(w->document().extras.sequences[0].frames[1].object, std::string("giant"));
    QCOMPARE(list->item(0)->text(), QStringLiteral("giant  (2 x 2)"));
    editor->close();
    uitest::Child<QAction>(*w, "Mnu_ObjectEditor")->trigger();
    QCOMPARE(w->findChildren<TFormObject*>().size(), qsizetype{1});
    QVERIFY(editor->isVisible());
}

void ObjectEditorTest::gridEditsTransformsAndPasteAreUndoable()
{
    auto w = uitest::NewWindow();
    for (int slot = 0; slot < 8; ++slot)
    {
        Sprite(*w, slot)[kAttributeByte] = static_cast<u8>(slot + 1);
        Sprite(*w, slot)[slot] = 0xF0; // a mark in a different row of each sprite
    }
    TFormObject* editor = OpenEditor(*w, {*MakeObject("a", 0, 1, 1), *MakeObject("b", 6, 2, 1)});
    QVERIFY(editor != nullptr);
    Document& document = w->document();
    int steps = HistoryPosition(document.history);

    // Two columns: the new cell takes the next slot.
    uitest::Child<QSpinBox>(*editor, "Spin_Columns")->setValue(2);
    QCOMPARE(document.extras.objects[0].cells, (std::vector<int>{0, 1}));
    QCOMPARE(HistoryPosition(document.history), ++steps);
    QCOMPARE(Canvas(*editor)->picture().width(), 48);

    // A cell's slot typed into its table; a slot that cannot be is refused with a message.
    auto* cells = uitest::Child<QTableWidget>(*editor, "Table_Cells");
    cells->item(0, 1)->setText(QStringLiteral("5"));
    QCOMPARE(document.extras.objects[0].cells, (std::vector<int>{0, 5}));
    QCOMPARE(HistoryPosition(document.history), ++steps);
    uitest::AnswerMessage(QStringLiteral("OK"));
    cells->item(0, 1)->setText(QStringLiteral("300"));
    QCOMPARE(document.extras.objects[0].cells, (std::vector<int>{0, 5}));
    QCOMPARE(cells->item(0, 1)->text(), QStringLiteral("5"));
    QVERIFY(uitest::LastMessage().text.contains(QStringLiteral("0 to 255")));
    uitest::Child<QAction>(*editor, "Mnu_ObjUndo")->trigger();
    QCOMPARE(cells->item(0, 1)->text(), QStringLiteral("1"));
    --steps;

    // Flip left to right: the cells swap and each is flipped, as one step.
    std::vector<u8> expected(document.spriteBlock);
    SpriteBank copy = document.bank;
    copy.sprites = expected.data();
    QVERIFY(FlipObjectLeftRight(copy, document.extras.objects[0]));
    uitest::Child<QAction>(*editor, "Mnu_ObjFlipLeftRight")->trigger();
    QCOMPARE(document.spriteBlock, expected);
    QCOMPARE(HistoryPosition(document.history), ++steps);

    // Copy all of "a", paste into "b" at its corner.
    uitest::Child<QAction>(*editor, "Mnu_ObjSelectAll")->trigger();
    uitest::Child<QAction>(*editor, "Mnu_ObjCopy")->trigger();
    editor->SelectObject(1);
    QVERIFY(editor->selection().isEmpty());
    uitest::Child<QAction>(*editor, "Mnu_ObjPaste")->trigger();
    QCOMPARE(HistoryPosition(document.history), ++steps);
    QCOMPARE(ObjectPictureValues(document.bank, document.extras.objects[1]),
             ObjectPictureValues(document.bank, document.extras.objects[0]));

    // An object using one sprite in two cells refuses whole-object commands.
    document.extras.objects[1].cells = {6, 6};
    w->host().documentChanged(true);
    ++steps;
    uitest::Child<QAction>(*editor, "Mnu_ObjNegative")->trigger();
    QCOMPARE(HistoryPosition(document.history), steps);
    QVERIFY(editor->findChild<QStatusBar*>()->currentMessage().contains(QStringLiteral("two cells")));

    // Each step comes back with one undo.
    for (int k = 0; k < 4; ++k)
        uitest::Child<QAction>(*editor, "Mnu_ObjUndo")->trigger();
    QCOMPARE(document.extras.objects[0].cells, (std::vector<int>{0}));
    QCOMPARE(document.extras.objects[1].cells, (std::vector<int>{6, 7}));
    QCOMPARE(Sprite(*w, 6)[6], u8{0xF0});
    QCOMPARE(uitest::Child<QSpinBox>(*editor, "Spin_Columns")->value(), 2); // "b" is shown
    editor->SelectObject(0);
    QCOMPARE(uitest::Child<QSpinBox>(*editor, "Spin_Columns")->value(), 1);
}

QTEST_MAIN(ObjectEditorTest)
#include "objecteditor_test.moc"
