// Painting, pens, colour picking, browser selection and the two attribute check
// boxes, driven by real mouse and key events on the main window.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>

#include "UiTestSupport.h"
#include "ui/Form1.h"
#include "ui/Widgets.h"

using namespace kelmora;

namespace
{

// A point inside sprite pixel (x, y) of the editor, clear of the grid lines.
QPoint EditorPoint(const TForm1& w, int x, int y)
{
    const int width = uitest::Child<QCheckBox>(w, "Chk_MulticolourMode")->isChecked() ? 16 : 8;
    return QPoint(x * width + 3, y * 8 + 3);
}

unsigned EditorColour(const TForm1& w, int x, int y)
{
    const QPoint p = EditorPoint(w, x, y);
    return uitest::Rgb(uitest::Shown(w, "PaintBox_Editor"), p.x(), p.y());
}

unsigned Base(const TForm1& w, int colour)
{
    return w.host().viewColours()[colour] & 0xFFFFFFu;
}

QPoint BrowserPoint(int cell)
{
    return QPoint((cell % 8) * 48 + 20, (cell / 8) * 42 + 20);
}
QPoint StripPoint(int entry)
{
    return QPoint((entry % 8) * 24 + 10, (entry / 8) * 16 + 8);
}

// A move with buttons held, as the pointer sends it during a drag.
void Drag(QWidget* widget, QPoint p, Qt::MouseButtons held)
{
    QMouseEvent event(QEvent::MouseMove, p, widget->mapToGlobal(p), Qt::NoButton, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void Click(QWidget* widget, QPoint p, Qt::MouseButton button = Qt::LeftButton,
           Qt::KeyboardModifiers keys = {})
{
    QTest::mousePress(widget, button, keys, p);
    QTest::mouseRelease(widget, button, keys, p);
}

void ClickBox(QAbstractButton* box)
{
    Click(box, QPoint(6, box->height() / 2));
}

int CountPixels(const TForm1& w, int index, int value)
{
    const int width = IsMulticolour(w.document().bank.sprites, index) == 1 ? 12 : 24;
    int n = 0;
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < width; ++x)
            n += GetPixel(w.document().bank.sprites, index, x, y) == value;
    return n;
}

QString Status(const TForm1& w)
{
    return w.statusBar()->currentMessage();
}

} // namespace

class EditingTest : public QObject
{
    Q_OBJECT
  private slots:
    void dragIsOneUndoStepAndStaysInsideTheEditor();
    void fastDragsPaintTheWholeLine();
    void brushTwoAndTheMulticolourGrid();
    void floodFillKeepsToFourWayNeighbours();
    void browserSelectsWithShiftInBothDirections();
    void paletteClicksWithEachPen();
    void multicolourBoxActsOnTheRangeAndOverlayOnTheCurrentSprite();
};

void EditingTest::dragIsOneUndoStepAndStaysInsideTheEditor()
{
    auto w = uitest::NewWindow();
    QWidget* editor = uitest::Child<TPaintBox>(*w, "PaintBox_Editor");
    const int before = HistoryPosition(w->document().history);

    QTest::mousePress(editor, Qt::LeftButton, {}, EditorPoint(*w, 0, 1));
    Drag(editor, EditorPoint(*w, 1, 1), Qt::LeftButton);
    Drag(editor, EditorPoint(*w, 2, 1), Qt::LeftButton);
    // Points just left of and above the editor lie outside the sprite (not in column or
    // row 0): leaving to the left along row 1 and going on above the editor paints nothing
    // more, not even pixel (0, 0).
    Drag(editor, QPoint(-5, 11), Qt::LeftButton);
    Drag(editor, QPoint(-5, -5), Qt::LeftButton);
    QTest::mouseRelease(editor, Qt::LeftButton, {}, QPoint(-5, -5));

    for (int x = 0; x < 3; ++x)
        QCOMPARE(EditorColour(*w, x, 1), Base(*w, 5));
    QCOMPARE(EditorColour(*w, 0, 0), Base(*w, 11));
    QCOMPARE(CountPixels(*w, 0, 2), 3);
    QCOMPARE(Status(*w), QStringLiteral("(X : 2, Y : 1)"));
    QCOMPARE(HistoryPosition(w->document().history), before + 1);
    QVERIFY(uitest::Child<QAction>(*w, "Mnu_Undo")->isEnabled());

    // The whole stroke goes with one Undo.
    QTest::keyClick(w.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(CountPixels(*w, 0, 2), 0);
    QCOMPARE(EditorColour(*w, 1, 1), Base(*w, 11));
    QVERIFY(!uitest::Child<QAction>(*w, "Mnu_Undo")->isEnabled());
    QVERIFY(uitest::Child<QAction>(*w, "Mnu_Redo")->isEnabled());

    // A right drag erases.
    QTest::keyClick(w.get(), Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
    QTest::mousePress(editor, Qt::RightButton, {}, EditorPoint(*w, 2, 1));
    Drag(editor, EditorPoint(*w, 1, 1), Qt::RightButton);
    QTest::mouseRelease(editor, Qt::RightButton, {}, EditorPoint(*w, 1, 1));
    QCOMPARE(CountPixels(*w, 0, 2), 1);

    // The pointer shows the tool: the brush arrow, then the paint pot.
    QTest::mouseMove(editor, EditorPoint(*w, 5, 5));
    QCOMPARE(editor->cursor().hotSpot(), QPoint(0, 0));
    uitest::Child<QAction>(*w, "Btn_Flood")->trigger();
    QTest::mouseMove(editor, EditorPoint(*w, 6, 5));
    QCOMPARE(editor->cursor().hotSpot(), QPoint(6, 30));
    QCOMPARE(Status(*w), QStringLiteral("(X : 6, Y : 5)"));
}

void EditingTest::fastDragsPaintTheWholeLine()
{
    auto w = uitest::NewWindow();
    QWidget* editor = uitest::Child<TPaintBox>(*w, "PaintBox_Editor");
    const int before = HistoryPosition(w->document().history);

    // Multicolour: a press at (0, 2) and one move event at (11, 18), far apart. Every row
    // between gets one double-wide pixel, each touching the one before.
    QTest::mousePress(editor, Qt::LeftButton, {}, EditorPoint(*w, 0, 2));
    Drag(editor, EditorPoint(*w, 11, 18), Qt::LeftButton);
    QTest::mouseRelease(editor, Qt::LeftButton, {}, EditorPoint(*w, 11, 18));
    QCOMPARE(CountPixels(*w, 0, 2), 17);
    int previous = -1;
    for (int y = 2; y <= 18; ++y)
    {
        int column = -1;
        for (int x = 0; x < 12; ++x)
            if (GetPixel(w->document().bank.sprites, 0, x, y) == 2) column = x;
        QVERIFY2(column >= 0 && (previous < 0 || column - previous <= 1), qPrintable(QString::number(y)));
        QCOMPARE(EditorColour(*w, column, y), Base(*w, 5));
        previous = column;
    }
    QCOMPARE(previous, 11);
    // Still one undo step for the whole stroke.
    QCOMPARE(HistoryPosition(w->document().history), before + 1);
    QTest::keyClick(w.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(CountPixels(*w, 0, 2), 0);

    // Hires, Paintbrush 1: a fast drag that leaves the editor paints up to its edge.
    ClickBox(uitest::Child<QCheckBox>(*w, "Chk_MulticolourMode"));
    QTest::mousePress(editor, Qt::LeftButton, {}, EditorPoint(*w, 12, 10));
    Drag(editor, EditorPoint(*w, 34, 10), Qt::LeftButton);
    QTest::mouseRelease(editor, Qt::LeftButton, {}, EditorPoint(*w, 34, 10));
    QCOMPARE(CountPixels(*w, 0, 2), 12); // 12 to 23 of row 10
    QCOMPARE(EditorColour(*w, 23, 10), Base(*w, 5));

    // Out to the left, around outside (nothing painted there) and back in: from each edge.
    QTest::mousePress(editor, Qt::LeftButton, {}, EditorPoint(*w, 3, 5));
    Drag(editor, EditorPoint(*w, -10, 5), Qt::LeftButton);
    Drag(editor, EditorPoint(*w, -10, 15), Qt::LeftButton);
    QCOMPARE(CountPixels(*w, 0, 2), 16); // and 0 to 3 of row 5
    Drag(editor, EditorPoint(*w, 3, 15), Qt::LeftButton);
    QTest::mouseRelease(editor, Qt::LeftButton, {}, EditorPoint(*w, 3, 15));
    QCOMPARE(CountPixels(*w, 0, 2), 20); // and 0 to 3 of row 15
    for (int y : {5, 15})
        for (int x = 0; x < 24; ++x)
            QCOMPARE(GetPixel(w->document().bank.sprites, 0, x, y), x <= 3 ? 2 : 0);
}

void EditingTest::brushTwoAndTheMulticolourGrid()
{
    auto w = uitest::NewWindow();
    QWidget* editor = uitest::Child<TPaintBox>(*w, "PaintBox_Editor");

    // Multicolour: editor point (20, 10) is sprite pixel (1, 1), one bit pair.
    Click(editor, QPoint(20, 10));
    QCOMPARE(GetPixel(w->document().bank.sprites, 0, 1, 1), 2);
    QCOMPARE(int(w->document().bank.sprites[3]), 0x20);
    QCOMPARE(CountPixels(*w, 0, 2), 1);
    QCOMPARE(uitest::Rgb(uitest::Shown(*w, "PaintBox_Editor"), 17, 9), Base(*w, 5));
    QCOMPARE(uitest::Rgb(uitest::Shown(*w, "PaintBox_Editor"), 30, 14), Base(*w, 5));
    QCOMPARE(uitest::Rgb(uitest::Shown(*w, "PaintBox_Editor"), 12, 9), Base(*w, 11));

    // Hires, Paintbrush 2 at the corner: only the three pixels inside the sprite.
    ClickBox(uitest::Child<QCheckBox>(*w, "Chk_MulticolourMode"));
    QVERIFY(!uitest::Child<QCheckBox>(*w, "Chk_MulticolourMode")->isChecked());
    std::fill(w->document().bank.sprites, w->document().bank.sprites + 63, u8(0));
    w->RefreshAll();
    uitest::Child<QAction>(*w, "Btn_Brush2")->trigger();
    Click(editor, EditorPoint(*w, 0, 0));
    QCOMPARE(CountPixels(*w, 0, 2), 3);
    for (QPoint p : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1)})
        QCOMPARE(EditorColour(*w, p.x(), p.y()), Base(*w, 5));
    Click(editor, EditorPoint(*w, 23, 20));
    QCOMPARE(CountPixels(*w, 0, 2), 6);
    QCOMPARE(GetPixel(w->document().bank.sprites, 0, 22, 20), 2);
    QCOMPARE(GetPixel(w->document().bank.sprites, 0, 23, 19), 2);

    // The right button clears the plus shape around (1, 1), keeping (0, 0).
    Click(editor, EditorPoint(*w, 1, 1), Qt::RightButton);
    QCOMPARE(GetPixel(w->document().bank.sprites, 0, 0, 0), 2);
    QCOMPARE(GetPixel(w->document().bank.sprites, 0, 1, 0), 0);
    QCOMPARE(GetPixel(w->document().bank.sprites, 0, 0, 1), 0);
}

void EditingTest::floodFillKeepsToFourWayNeighbours()
{
    auto w = uitest::NewWindow();
    QWidget* editor = uitest::Child<TPaintBox>(*w, "PaintBox_Editor");
    ClickBox(uitest::Child<QCheckBox>(*w, "Chk_MulticolourMode"));

    // A diagonal line drawn in one stroke splits the hires sprite for a four-way fill.
    QTest::mousePress(editor, Qt::LeftButton, {}, EditorPoint(*w, 0, 0));
    for (int i = 1; i <= 20; ++i)
        Drag(editor, EditorPoint(*w, i, i), Qt::LeftButton);
    QTest::mouseRelease(editor, Qt::LeftButton, {}, EditorPoint(*w, 20, 20));
    QCOMPARE(CountPixels(*w, 0, 2), 21);

    uitest::Child<QAction>(*w, "Btn_Flood")->trigger();
    const int before = HistoryPosition(w->document().history);
    Click(editor, EditorPoint(*w, 0, 20));
    // Below the line: x < y, 210 pixels, plus the 21 of the line.
    QCOMPARE(CountPixels(*w, 0, 2), 231);
    QCOMPARE(GetPixel(w->document().bank.sprites, 0, 1, 0), 0);
    QCOMPARE(EditorColour(*w, 23, 0), Base(*w, 11));
    QCOMPARE(EditorColour(*w, 0, 20), Base(*w, 5));
    QCOMPARE(HistoryPosition(w->document().history), before + 1);

    // Filling a pixel that already has the pen's value changes nothing, yet is a step.
    Click(editor, EditorPoint(*w, 5, 10));
    QCOMPARE(CountPixels(*w, 0, 2), 231);
    QCOMPARE(HistoryPosition(w->document().history), before + 2);

    // Multicolour: the right button clears a multi-colour 1 area, and only it.
    auto m = uitest::NewWindow();
    u8* sprites = m->document().bank.sprites;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 6; ++x)
            SetPixel(sprites, 0, x, y, 1);
    SetPixel(sprites, 0, 3, 2, 2); // touches the area, other value
    SetPixel(sprites, 0, 8, 0, 1); // same value, not connected
    m->RefreshAll();
    uitest::Child<QAction>(*m, "Btn_Flood")->trigger();
    Click(uitest::Child<TPaintBox>(*m, "PaintBox_Editor"), EditorPoint(*m, 2, 1), Qt::RightButton);
    QCOMPARE(CountPixels(*m, 0, 1), 1);
    QCOMPARE(GetPixel(sprites, 0, 8, 0), 1);
    QCOMPARE(GetPixel(sprites, 0, 3, 2), 2);
    QCOMPARE(EditorColour(*m, 0, 0), Base(*m, m->document().bank.colourTransp));
}

void EditingTest::browserSelectsWithShiftInBothDirections()
{
    auto w = uitest::NewWindow();
    QWidget* browser = uitest::Child<TPaintBox>(*w, "PaintBox_Browser");
    const unsigned plain = Base(*w, 11);
    PaletteTables tables;
    BuildPaletteTables(kBuiltInPalette, tables);
    const unsigned marked = tables.highlight[11];

    Click(browser, BrowserPoint(10));
    Click(browser, BrowserPoint(4), Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(w->document().bank.currentSprite, 10);
    QCOMPARE(w->document().bank.rangeStart, 4);
    QCOMPARE(w->document().bank.rangeEnd, 10);
    QCOMPARE(uitest::Child<QLabel>(*w, "Label1")->text().trimmed(), QStringLiteral("010"));
    QCOMPARE(uitest::Rgb(uitest::Shown(*w, "PaintBox_Browser"), BrowserPoint(4).x(), BrowserPoint(4).y()),
             marked);
    QCOMPARE(uitest::Rgb(uitest::Shown(*w, "PaintBox_Browser"), BrowserPoint(3).x(), BrowserPoint(3).y()),
             plain);

    Click(browser, BrowserPoint(12), Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(w->document().bank.currentSprite, 10);
    QCOMPARE(w->document().bank.rangeStart, 10);
    QCOMPARE(w->document().bank.rangeEnd, 12);
    QCOMPARE(uitest::Rgb(uitest::Shown(*w, "PaintBox_Browser"), BrowserPoint(4).x(), BrowserPoint(4).y()),
             plain);

    QTest::mouseMove(browser, BrowserPoint(4));
    QCOMPARE(Status(*w), QStringLiteral("Sprite number : 4  - Use shift to select a range"));

    // Empty cells (32 sprites in use), the left edge and the right button select nothing.
    QTest::mouseMove(browser, BrowserPoint(40));
    QCOMPARE(Status(*w), QStringLiteral("Sprite number : 4  - Use shift to select a range"));
    Click(browser, BrowserPoint(40));
    Click(browser, QPoint(0, 20));
    Click(browser, BrowserPoint(2), Qt::RightButton);
    QCOMPARE(w->document().bank.currentSprite, 10);
    QCOMPARE(w->document().bank.rangeStart, 10);
    QCOMPARE(w->document().bank.rangeEnd, 12);

    // The browser's scroll position counts: with one row scrolled, the top-left cell is sprite 8.
    uitest::Child<QLineEdit>(*w, "Edit2")->setText(QStringLiteral("64"));
    QTest::keyClick(uitest::Child<QLineEdit>(*w, "Edit2"), Qt::Key_Return);
    uitest::Child<QScrollBar>(*w, "ScrollBar_Browser")->setValue(1);
    Click(browser, BrowserPoint(0));
    QCOMPARE(w->document().bank.currentSprite, 8);
}

void EditingTest::paletteClicksWithEachPen()
{
    auto w = uitest::NewWindow();
    QWidget* strip = uitest::Child<TPaintBox>(*w, "PaintBox_Palette");
    u8* sprites = w->document().bank.sprites;
    sprites[4 * 64 + 63] |= kAttrOverlay;
    Click(uitest::Child<TPaintBox>(*w, "PaintBox_Browser"), BrowserPoint(3));
    Click(uitest::Child<TPaintBox>(*w, "PaintBox_Browser"), BrowserPoint(5), Qt::LeftButton,
          Qt::ShiftModifier);

    QTest::mouseMove(strip, StripPoint(7));
    QCOMPARE(Status(*w), QStringLiteral("Colour number : 7"));

    // Sprite-colour pen: the whole range, one undo step, upper bits kept.
    const int before = HistoryPosition(w->document().history);
    Click(strip, StripPoint(7));
    QCOMPARE(HistoryPosition(w->document().history), before + 1);
    for (int i = 3; i <= 5; ++i)
        QCOMPARE(GetSpriteColour(sprites, i), 7);
    QCOMPARE(GetSpriteColour(sprites, 2), 5);
    QCOMPARE(GetSpriteColour(sprites, 6), 5);
    QCOMPARE(GetAttribute(sprites, 4), 0x97);
    QCOMPARE(uitest::Child<TColourPanel>(*w, "PanelColourSprite")->colour(),
             QColor::fromRgb(w->host().viewColours()[7]));
    uitest::Child<QAction>(*w, "Mnu_Undo")->trigger();
    for (int i = 3; i <= 5; ++i)
        QCOMPARE(GetSpriteColour(sprites, i), 5);
    QCOMPARE(uitest::Child<TColourPanel>(*w, "PanelColourSprite")->colour(),
             QColor::fromRgb(w->host().viewColours()[5]));

    // Shared colours: no undo step.
    const int shared = HistoryPosition(w->document().history);
    QTest::keyClick(w.get(), Qt::Key_F3);
    QVERIFY(uitest::Child<QRadioButton>(*w, "RadioColourMulti1")->isChecked());
    QVERIFY(uitest::Child<QAction>(*w, "Mnu_ColourMulti1")->isChecked());
    Click(strip, StripPoint(9));
    QCOMPARE(int(w->document().bank.colourMulti1), 9);
    QCOMPARE(uitest::Child<TColourPanel>(*w, "PanelColourMulti1")->colour(),
             QColor::fromRgb(w->host().viewColours()[9]));

    Click(uitest::Child<TColourPanel>(*w, "PanelColourMulti2"), QPoint(4, 4));
    QCOMPARE(w->document().bank.currentPen, 3);
    QVERIFY(uitest::Child<QRadioButton>(*w, "RadioColourMulti2")->isChecked());
    QVERIFY(uitest::Child<QAction>(*w, "Mnu_ColourMulti2")->isChecked());
    Click(strip, StripPoint(3));
    QCOMPARE(int(w->document().bank.colourMulti2), 3);

    QTest::keyClick(w.get(), Qt::Key_F1);
    QCOMPARE(w->document().bank.currentPen, 0);
    Click(strip, StripPoint(2));
    QCOMPARE(int(w->document().bank.colourTransp), 2);
    QCOMPARE(EditorColour(*w, 0, 0), Base(*w, 2));
    QCOMPARE(HistoryPosition(w->document().history), shared);

    // The right button sets the background whatever the pen.
    ClickBox(uitest::Child<QRadioButton>(*w, "RadioColourMulti2"));
    QCOMPARE(w->document().bank.currentPen, 3);
    Click(strip, StripPoint(0), Qt::RightButton);
    QCOMPARE(int(w->document().bank.colourTransp), 0);
    QCOMPARE(int(w->document().bank.colourMulti2), 3);
    QCOMPARE(uitest::Child<TColourPanel>(*w, "PanelColourTransp")->colour(),
             QColor::fromRgb(w->host().viewColours()[0]));
    QCOMPARE(EditorColour(*w, 0, 0), Base(*w, 0));

    // With luminance pairs, the status names the colour in the cell.
    uitest::Child<QAction>(*w, "Mnu_PalOrderLumPairs")->trigger();
    QTest::mouseMove(strip, StripPoint(1));
    QCOMPARE(Status(*w), QStringLiteral("Colour number : 6"));
}

void EditingTest::multicolourBoxActsOnTheRangeAndOverlayOnTheCurrentSprite()
{
    auto w = uitest::NewWindow();
    u8* sprites = w->document().bank.sprites;
    Click(uitest::Child<TPaintBox>(*w, "PaintBox_Browser"), BrowserPoint(0));
    Click(uitest::Child<TPaintBox>(*w, "PaintBox_Browser"), BrowserPoint(3), Qt::LeftButton,
          Qt::ShiftModifier);
    QTest::keyClick(w.get(), Qt::Key_F3);
    QCOMPARE(w->document().bank.currentPen, 1);
    SetPixel(sprites, 0, 0, 0, 3); // bits 11: two set hires pixels afterwards
    const int before = HistoryPosition(w->document().history);

    ClickBox(uitest::Child<QCheckBox>(*w, "Chk_MulticolourMode"));
    for (int i = 0; i <= 3; ++i)
        QCOMPARE(IsMulticolour(sprites, i), 0);
    QCOMPARE(IsMulticolour(sprites, 4), 1);
    QCOMPARE(int(sprites[0]), 0xC0);
    QCOMPARE(GetPixel(sprites, 0, 1, 0), 2);
    QCOMPARE(w->document().bank.currentPen, 2);
    QVERIFY(uitest::Child<QRadioButton>(*w, "RadioColourSprite")->isChecked());
    QVERIFY(uitest::Child<QAction>(*w, "Mnu_ColourSprite")->isChecked());
    QVERIFY(uitest::Child<QRadioButton>(*w, "RadioColourMulti1")->isHidden());
    QVERIFY(uitest::Child<TColourPanel>(*w, "PanelColourMulti2")->isHidden());
    QCOMPARE(HistoryPosition(w->document().history), before);

    // F3 on a hires sprite does nothing.
    QTest::keyClick(w.get(), Qt::Key_F3);
    QCOMPARE(w->document().bank.currentPen, 2);
    QVERIFY(uitest::Child<QRadioButton>(*w, "RadioColourSprite")->isChecked());

    // Overlay: the current sprite only, no undo step; the editor shows sprite 1 over it.
    SetPixel(sprites, 1, 5, 5, 2);
    w->RefreshAll();
    QCOMPARE(EditorColour(*w, 5, 5), Base(*w, 11));
    ClickBox(uitest::Child<QCheckBox>(*w, "Chk_OverlayNext"));
    QCOMPARE(IsOverlay(sprites, 0), 1);
    for (int i = 1; i <= 3; ++i)
        QCOMPARE(IsOverlay(sprites, i), 0);
    QCOMPARE(EditorColour(*w, 5, 5), Base(*w, 5));
    QCOMPARE(HistoryPosition(w->document().history), before);
    ClickBox(uitest::Child<QCheckBox>(*w, "Chk_OverlayNext"));
    QCOMPARE(IsOverlay(sprites, 0), 0);

    ClickBox(uitest::Child<QCheckBox>(*w, "Chk_MulticolourMode"));
    for (int i = 0; i <= 3; ++i)
        QCOMPARE(IsMulticolour(sprites, i), 1);
    QVERIFY(!uitest::Child<QRadioButton>(*w, "RadioColourMulti1")->isHidden());
}

QTEST_MAIN(EditingTest)
#include "editing_test.moc"
