// What the editor, preview and browser show, pixel by pixel.
#include <QAction>
#include <QCheckBox>
#include <QPalette>
#include <QScrollBar>
#include <QTest>

#include "UiTestSupport.h"
#include "ui/Form1.h"
#include "ui/Widgets.h"

using namespace kelmora;

namespace
{
constexpr unsigned kGrid11 = 0x080808u; // grid colour of background 11 (0x444444)

unsigned Colour(int number)
{
    return kBuiltInPalette[number];
}
unsigned Highlight(int number)
{
    const unsigned c = kBuiltInPalette[number];
    auto up = [](unsigned v) { return v + 50 > 255 ? 255u : v + 50; };
    return (up((c >> 16) & 0xFF) << 16) | (up((c >> 8) & 0xFF) << 8) | up(c & 0xFF);
}
} // namespace

class ViewsTest : public QObject
{
    Q_OBJECT

  private slots:
    void editorGridFollowsTheMode()
    {
        auto window = uitest::NewWindow();
        // Multicolour: columns every 16 pixels.
        for (int x = 15; x <= 191; x += 16)
            QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Editor"), x, 3), kGrid11);
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Editor"), 7, 3), Colour(11));
        for (int y = 7; y <= 167; y += 8)
            QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Editor"), 3, y), kGrid11);
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Editor"), 3, 6), Colour(11));

        // Hires: every 8 pixels.
        window->document().bank.sprites[63] = 0x05;
        window->RefreshAll();
        for (int x = 7; x <= 191; x += 8)
            QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Editor"), x, 3), kGrid11);

        // Grid off: no lines at all.
        uitest::Child<QCheckBox>(*window, "CkShowGrid")->click();
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Editor"), 7, 3), Colour(11));
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Editor"), 3, 7), Colour(11));
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Browser"), 47, 3),
                 Highlight(11)); // sprite 0 is selected
    }

    void editorShowsPixelsMagnified()
    {
        auto window = uitest::NewWindow();
        SetPixel(window->document().bank.sprites, 0, 1, 1, 1); // multicolour pixel (1,1) = 16..31 x 8..15
        SetPixel(window->document().bank.sprites, 0, 11, 20, 3);
        window->RefreshAll();
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Editor"), 16, 8), Colour(0));
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Editor"), 29, 13), Colour(0));
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Editor"), 32, 8), Colour(11));
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Editor"), 180, 165), Colour(1));
        // The preview: sprite at 5,5 of a 34 x 31 frame, doubled.
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Preview"), 10 + 4, 10 + 2), Colour(0));
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Preview"), 10 + 7, 10 + 3), Colour(0));
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Preview"), 9, 9), Colour(11));
    }

    void crosshairsDivideTheEditor()
    {
        auto window = uitest::NewWindow();
        uitest::Child<QCheckBox>(*window, "CkShowCross")->click();
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Editor"), 64, 50), 0xFF7F00u);
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Editor"), 128, 50), 0xFF7F00u);
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Editor"), 96, 50), 0xFF0000u);
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Editor"), 50, 83), 0xFF0000u);
        // The circle touches the top edge at the middle.
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Editor"), 95, 0), 0xFF0000u);
        uitest::Child<QCheckBox>(*window, "CkShowCross")->click();
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Editor"), 64, 50), Colour(11));
    }

    void doubleScanOffLeavesBlackLines()
    {
        auto window = uitest::NewWindow();
        uitest::Child<QAction>(*window, "Mnu_DoubleScan")->trigger();
        QVERIFY(!uitest::Child<QAction>(*window, "Mnu_DoubleScan")->isChecked());
        for (int y = 1; y < 62; y += 2)
            QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Preview"), 3, y), 0u);
        for (int y = 0; y < 62; y += 2)
            QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Preview"), 3, y), Colour(11));
        // In the browser the grid lines are drawn over the black lines.
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Browser"), 100, 1), 0u);
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Browser"), 100, 41), kGrid11);
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Browser"), 47, 1), kGrid11);
        uitest::Child<QAction>(*window, "Mnu_DoubleScan")->trigger();
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Preview"), 3, 1), Colour(11));
    }

    void browserHighlightsTheRangeAndShadesEmptyCells()
    {
        auto window = uitest::NewWindow();
        window->document().bank.rangeStart = 3;
        window->document().bank.rangeEnd = 5;
        window->RefreshAll();
        // Cells of sprites 3..5 (columns 3..5 of row 0) use the lighter colours.
        for (int c = 3; c <= 5; ++c)
            QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Browser"), 48 * c + 10, 10), Highlight(11));
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Browser"), 48 * 2 + 10, 10), Colour(11));
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Browser"), 48 * 6 + 10, 10), Colour(11));
        QCOMPARE(Highlight(11), 0x767676u);

        // With 32 sprites, rows 4 to 6 are empty cells in a dark theme colour.
        const unsigned empty = uitest::Rgb(uitest::Shown(*window, "PaintBox_Browser"), 10, 42 * 4 + 10);
        QVERIFY(empty != Colour(11) && empty != Highlight(11));
        QVERIFY(QColor::fromRgb(empty).lightness() <= 64);
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Browser"), 48 * 7 + 10, 42 * 6 + 10), empty);
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Browser"), 48 * 7 + 10, 42 * 3 + 10),
                 Colour(11));
    }

    void overlaysAreDrawnOnTop()
    {
        auto window = uitest::NewWindow();
        u8* s = window->document().bank.sprites;
        s[64 + 63] = 0x95;        // sprite 1: multicolour, overlay, colour 5
        SetPixel(s, 2, 0, 0, 3);  // sprite 2 has one multi-colour 2 pixel at (0,0)
        SetPixel(s, 1, 1, 0, 2);  // sprite 1 own pixel at (1,0)
        s[63 + 64 * 31] = 0x95;   // the last sprite in use flags an overlay too
        SetPixel(s, 32, 0, 0, 3); // ...but sprite 32 lies beyond the count
        window->RefreshAll();

        // Browser cell 1 shows its own pixel and sprite 2's pixel over it.
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Browser"), 48 + 0, 0), Colour(1));
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Browser"), 48 + 5, 0), Colour(5));
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Browser"), 48 + 10, 0), Colour(11));
        // Cell 31 (row 3, column 7) shows nothing of sprite 32.
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Browser"), 48 * 7 + 1, 42 * 3 + 0), Colour(11));

        // The editor shows the overlay of the current sprite only while its flag is set.
        uitest::Child<QScrollBar>(*window, "ScrollBar1")->setValue(1);
        QVERIFY(uitest::Child<QCheckBox>(*window, "Chk_OverlayNext")->isChecked());
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Editor"), 2, 2), Colour(1));
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Preview"), 10, 10), Colour(1));
        uitest::Child<QScrollBar>(*window, "ScrollBar1")->setValue(2);
        QVERIFY(!uitest::Child<QCheckBox>(*window, "Chk_OverlayNext")->isChecked());
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Editor"), 2, 2), Colour(1)); // sprite 2 itself
        uitest::Child<QScrollBar>(*window, "ScrollBar1")->setValue(0);
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Editor"), 2, 2), Colour(11));
    }

    void backgroundColourChangesEveryView()
    {
        auto window = uitest::NewWindow();
        window->document().bank.colourTransp = 6;
        window->RefreshAll();
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Preview"), 0, 0), Colour(6));
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Editor"), 0, 0), Colour(6));
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Browser"), 100, 0), Colour(6));
        // Grid colour of 0x352879: red 0x07, green 0x14, blue 0x3D.
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Editor"), 15, 0), 0x07143Du);
    }

    void browserScrollShowsLaterRows()
    {
        auto window = uitest::NewWindow();
        uitest::SetQuantity(*window, 256);
        SetPixel(window->document().bank.sprites, 8 * 25, 0, 0, 3);
        window->RefreshAll();
        uitest::Child<QScrollBar>(*window, "ScrollBar_Browser")->setValue(25);
        QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Browser"), 0, 0), Colour(1));
        QCOMPARE(window->document().bank.currentSprite, 0);
    }
};

QTEST_MAIN(ViewsTest)
#include "views_test.moc"
