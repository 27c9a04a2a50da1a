// The edit, transform and range commands, run from their keys, menu items and tool
// buttons as a user runs them.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <cstring>
#include <vector>

#include "UiTestSupport.h"
#include "ui/Form1.h"
#include "ui/Widgets.h"

using namespace kelmora;

namespace
{

QPoint BrowserPoint(int cell)
{
    return QPoint((cell % 8) * 48 + 20, (cell / 8) * 42 + 20);
}

void Select(TForm1& w, int first, int last)
{
    QTest::mouseClick(uitest::Child<TPaintBox>(w, "PaintBox_Browser"), Qt::LeftButton, {},
                      BrowserPoint(first));
    if (last != first)
        QTest::mouseClick(uitest::Child<TPaintBox>(w, "PaintBox_Browser"), Qt::LeftButton, Qt::ShiftModifier,
                          BrowserPoint(last));
}

void Key(TForm1& w, int key, Qt::KeyboardModifiers keys = Qt::ControlModifier)
{
    QTest::keyClick(&w, Qt::Key(key), keys);
}

u8* Sprite(TForm1& w, int index)
{
    return w.document().bank.sprites + index * kSpriteBytes;
}

// Gives sprite index a recognisable first pixel byte and attribute.
void Mark(TForm1& w, int index, u8 first, u8 attribute)
{
    Sprite(w, index)[0] = first;
    Sprite(w, index)[63] = attribute;
}

std::vector<u8> Block(TForm1& w)
{
    return std::vector<u8>(w.document().bank.sprites, w.document().bank.sprites + kBlockBytes);
}

QToolButton* Button(TForm1& w, const char* name)
{
    return uitest::Child<QToolBar>(w, "ToolBar1")->findChild<QToolButton*>(name);
}

} // namespace

class CommandsTest : public QObject
{
    Q_OBJECT
  private slots:
    void transformsActOnTheRangeOneStepEach();
    void selectAllKeepsTheRangeInsideTheBank();
    void pasteSelectsThePastedBlockAndStopsAtTheLastSlot();
    void cutPasteAndUndo();
    void loweringTheQuantityClampsTheSelection();
    void reverseOrderAndRemoveBlanks();
    void colourSwapAndAttributeCommands();
    void copyStyleEnablesPasteStyleAtOnce();
    void undoKeepsTheSpriteCountAndColours();
    void shortcutsReachTheMenuFromTheQuantityBox();
    void theChosenToolShowsInBothToolBarStyles();
};

void CommandsTest::transformsActOnTheRangeOneStepEach()
{
    auto w = uitest::NewWindow();
    for (int i = 0; i < 3; ++i)
        SetPixel(w->document().bank.sprites, i, 0, 0, 2);
    RestartHistory(w->document());
    w->RefreshAll();
    Select(*w, 0, 1);

    Key(*w, Qt::Key_R); // Slide Right
    QCOMPARE(GetPixel(w->document().bank.sprites, 0, 1, 0), 2);
    QCOMPARE(GetPixel(w->document().bank.sprites, 1, 1, 0), 2);
    QCOMPARE(GetPixel(w->document().bank.sprites, 2, 0, 0), 2);
    QCOMPARE(HistoryPosition(w->document().history), 2);

    QTest::mouseClick(Button(*w, "Btn_FlipX"), Qt::LeftButton);
    QCOMPARE(GetPixel(w->document().bank.sprites, 0, 1, 20), 2);
    QCOMPARE(GetPixel(w->document().bank.sprites, 1, 1, 20), 2);
    uitest::Child<QAction>(*w, "Mnu_Negative")->trigger();
    QCOMPARE(GetPixel(w->document().bank.sprites, 0, 1, 20), 1);
    QCOMPARE(GetPixel(w->document().bank.sprites, 0, 0, 0), 3);
    QCOMPARE(GetPixel(w->document().bank.sprites, 2, 0, 0), 2);
    QCOMPARE(HistoryPosition(w->document().history), 4);

    // Each command is one step back, and Redo brings it again.
    QTest::mouseClick(Button(*w, "Btn_Undo"), Qt::LeftButton);
    QCOMPARE(GetPixel(w->document().bank.sprites, 0, 0, 0), 0);
    Key(*w, Qt::Key_Z);
    QCOMPARE(GetPixel(w->document().bank.sprites, 0, 1, 0), 2);
    QVERIFY(Button(*w, "Btn_Redo")->isEnabled());
    Key(*w, Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(GetPixel(w->document().bank.sprites, 0, 1, 20), 2);
    QCOMPARE(GetPixel(w->document().bank.sprites, 0, 1, 0), 0);
}

void CommandsTest::selectAllKeepsTheRangeInsideTheBank()
{
    auto w = uitest::NewWindow();
    Select(*w, 5, 5);
    Key(*w, Qt::Key_A);
    QCOMPARE(w->document().bank.rangeStart, 0);
    QCOMPARE(w->document().bank.rangeEnd, 31);
    QCOMPARE(w->document().bank.currentSprite, 5);
    QCOMPARE(uitest::Child<QLabel>(*w, "Label1")->text().trimmed(), QStringLiteral("005"));

    // A load that found no whole sprite leaves a count of 0: the range becomes 0..0.
    w->document().bank.spriteCount = 0;
    uitest::Child<QAction>(*w, "Mnu_SelectAll")->trigger();
    QCOMPARE(w->document().bank.rangeStart, 0);
    QCOMPARE(w->document().bank.rangeEnd, 0);
}

void CommandsTest::pasteSelectsThePastedBlockAndStopsAtTheLastSlot()
{
    auto w = uitest::NewWindow();
    uitest::Child<QLineEdit>(*w, "Edit2")->setText(QStringLiteral("256"));
    QTest::keyClick(uitest::Child<QLineEdit>(*w, "Edit2"), Qt::Key_Return);
    for (int i = 0; i < 10; ++i)
        Mark(*w, i, u8(i + 1), u8(0x80 | i));
    const u8 before249 = Sprite(*w, 249)[0];
    Select(*w, 0, 9);
    QVERIFY(!uitest::Child<QAction>(*w, "Mnu_Paste")->isEnabled());
    Key(*w, Qt::Key_C);
    QCOMPARE(w->document().buffer.bufferCount, 10);
    QVERIFY(uitest::Child<QAction>(*w, "Mnu_Paste")->isEnabled());
    QVERIFY(uitest::Child<QAction>(*w, "Mnu_PasteInto")->isEnabled());
    QVERIFY(Button(*w, "Btn_Paste")->isEnabled());
    QCOMPARE(HistoryPosition(w->document().history), 1);

    uitest::Child<QScrollBar>(*w, "ScrollBar1")->setValue(250);
    Key(*w, Qt::Key_V);
    for (int i = 250; i < 256; ++i)
    {
        QCOMPARE(int(Sprite(*w, i)[0]), i - 249);
        QCOMPARE(int(Sprite(*w, i)[63]), 0x80 | (i - 250));
    }
    QCOMPARE(Sprite(*w, 249)[0], before249);
    QCOMPARE(w->document().bank.currentSprite, 250);
    QCOMPARE(w->document().bank.rangeStart, 250);
    QCOMPARE(w->document().bank.rangeEnd, 255);
    QCOMPARE(HistoryPosition(w->document().history), 2);
}

void CommandsTest::cutPasteAndUndo()
{
    auto w = uitest::NewWindow();
    for (int i = 2; i <= 4; ++i)
        Mark(*w, i, u8(0x40 + i), u8(0x10 + i));
    RestartHistory(w->document());
    w->RefreshAll();
    const std::vector<u8> original = Block(*w);

    Select(*w, 2, 4);
    QTest::mouseClick(Button(*w, "Btn_Cut"), Qt::LeftButton);
    QCOMPARE(w->document().buffer.bufferCount, 3);
    for (int i = 2; i <= 4; ++i)
    {
        QCOMPARE(IsBlank(w->document().bank.sprites, i), 1);
        QCOMPARE(GetAttribute(w->document().bank.sprites, i), 133);
    }
    const std::vector<u8> cut = Block(*w);

    // Paste with one sprite selected selects the three pasted ones.
    Select(*w, 2, 2);
    QTest::mouseClick(Button(*w, "Btn_Paste"), Qt::LeftButton);
    QVERIFY(Block(*w) == original);
    QCOMPARE(w->document().bank.rangeStart, 2);
    QCOMPARE(w->document().bank.rangeEnd, 4);

    Key(*w, Qt::Key_Z);
    QVERIFY(Block(*w) == cut);
    Key(*w, Qt::Key_Z);
    QVERIFY(Block(*w) == original);

    // Paste Into merges by the target's own mode and leaves the range alone: the
    // hires buffer byte 01 00 00 10 replaces two bit pairs of the multicolour 00 00 00 11.
    Select(*w, 10, 10);
    Sprite(*w, 10)[0] = 0x03;
    Key(*w, Qt::Key_E);
    QCOMPARE(int(Sprite(*w, 10)[0]), 0x42);
    QCOMPARE(GetAttribute(w->document().bank.sprites, 10), 133);
    QCOMPARE(w->document().bank.rangeEnd, 10);
    // It is one undo step of its own: Undo takes it back (to the recorded sprites), Redo again.
    QVERIFY(Button(*w, "Btn_Undo")->isEnabled());
    Key(*w, Qt::Key_Z);
    QVERIFY(Block(*w) == original);
    Key(*w, Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(int(Sprite(*w, 10)[0]), 0x42);
}

void CommandsTest::loweringTheQuantityClampsTheSelection()
{
    auto w = uitest::NewWindow();
    uitest::SetQuantity(*w, 16);
    Select(*w, 2, 2);
    Key(*w, Qt::Key_A); // sprites 0 to 15, sprite 2 current
    uitest::SetQuantity(*w, 4);
    QCOMPARE(w->document().bank.rangeStart, 0);
    QCOMPARE(w->document().bank.rangeEnd, 3);
    QCOMPARE(w->document().bank.currentSprite, 2);

    // A range command now reaches the four sprites in use and no hidden one.
    Key(*w, Qt::Key_I); // Negative
    for (int i = 0; i < 16; ++i)
        QCOMPARE(int(Sprite(*w, i)[0]), i < 4 ? 0xFF : 0x00);

    // A selection wholly beyond the new count ends at the last sprite in use.
    uitest::SetQuantity(*w, 16);
    Select(*w, 10, 12);
    uitest::SetQuantity(*w, 8);
    QCOMPARE(w->document().bank.currentSprite, 7);
    QCOMPARE(w->document().bank.rangeStart, 7);
    QCOMPARE(w->document().bank.rangeEnd, 7);
}

void CommandsTest::reverseOrderAndRemoveBlanks()
{
    auto w = uitest::NewWindow();
    for (int i = 0; i < 5; ++i)
        Mark(*w, i, u8(i + 1), u8(0xF0 | i));

    Select(*w, 0, 3);
    uitest::Child<QAction>(*w, "Mnu_ReverseOrder")->trigger();
    for (int i = 0; i < 4; ++i)
    {
        QCOMPARE(int(Sprite(*w, i)[0]), 4 - i);
        QCOMPARE(int(Sprite(*w, i)[63]), 0x80 | (3 - i));
    }
    QCOMPARE(int(Sprite(*w, 4)[63]), 0xF4);
    Select(*w, 0, 4);
    uitest::Child<QAction>(*w, "Mnu_ReverseOrder")->trigger();
    QCOMPARE(int(Sprite(*w, 2)[0]), 2);
    QCOMPARE(int(Sprite(*w, 0)[0]), 5);
    QCOMPARE(HistoryPosition(w->document().history), 3);

    // One sprite: a hint, nothing changed, no step.
    Select(*w, 1, 1);
    const std::vector<u8> before = Block(*w);
    for (QAction* command :
         {uitest::Child<QAction>(*w, "Mnu_ReverseOrder"), uitest::Child<QAction>(*w, "Mnu_RemoveBlanks")})
    {
        uitest::ClearLastMessage();
        uitest::AnswerMessage(QStringLiteral("OK"));
        command->trigger();
        QCOMPARE(uitest::LastMessage().title, QStringLiteral("Hint..."));
        QCOMPARE(uitest::LastMessage().text,
                 QStringLiteral("First select a range using SHIFT and Left Mouse Button or CTRL+A for all."));
        QVERIFY(Block(*w) == before);
        QCOMPARE(HistoryPosition(w->document().history), 3);
    }

    // Five sprites, two of them blank: packed to the front, blanks made at the end.
    ClearBank(w->document().bank.sprites);
    Mark(*w, 0, 0xA0, 0x01);
    Mark(*w, 2, 0xA2, 0x02);
    Sprite(*w, 3)[63] = 0x07; // blank with its own attribute
    Mark(*w, 4, 0xA4, 0x04);
    Select(*w, 0, 4);
    uitest::Child<QAction>(*w, "Mnu_RemoveBlanks")->trigger();
    QCOMPARE(int(Sprite(*w, 0)[0]), 0xA0);
    QCOMPARE(int(Sprite(*w, 1)[0]), 0xA2);
    QCOMPARE(int(Sprite(*w, 2)[0]), 0xA4);
    QCOMPARE(int(Sprite(*w, 1)[63]), 0x02);
    for (int i = 3; i <= 4; ++i)
    {
        QCOMPARE(IsBlank(w->document().bank.sprites, i), 1);
        QCOMPARE(GetAttribute(w->document().bank.sprites, i), 133);
    }
    QCOMPARE(HistoryPosition(w->document().history), 4);
}

void CommandsTest::colourSwapAndAttributeCommands()
{
    auto w = uitest::NewWindow();
    // Sprite 0 multicolour with pixels 1, 2, 3; sprite 1 hires with the same bytes.
    for (int i = 0; i < 2; ++i)
    {
        SetPixel(w->document().bank.sprites, i, 0, 0, 1);
        SetPixel(w->document().bank.sprites, i, 1, 0, 2);
        SetPixel(w->document().bank.sprites, i, 2, 0, 3);
    }
    Sprite(*w, 1)[63] = 0x05;
    Select(*w, 0, 1);
    QVERIFY(uitest::Child<QMenu>(*w, "Mnu_PixelColourSwap")->isEnabled());
    uitest::Child<QAction>(*w, "Mnu_SwapSprMc1")->trigger();
    QCOMPARE(GetPixel(w->document().bank.sprites, 0, 0, 0), 2);
    QCOMPARE(GetPixel(w->document().bank.sprites, 0, 1, 0), 1);
    QCOMPARE(int(Sprite(*w, 1)[0]), int(0x6C)); // 01 10 11 00 untouched
    uitest::Child<QAction>(*w, "Mnu_SwapMc1Mc2")->trigger();
    QCOMPARE(GetPixel(w->document().bank.sprites, 0, 1, 0), 3);
    QCOMPARE(GetPixel(w->document().bank.sprites, 0, 2, 0), 1);
    QCOMPARE(HistoryPosition(w->document().history), 3);

    // Hires current sprite: no colour swaps offered.
    Select(*w, 1, 1);
    QVERIFY(!uitest::Child<QMenu>(*w, "Mnu_PixelColourSwap")->menuAction()->isEnabled());

    // Attribute clears over the range, a single sprite included.
    Select(*w, 2, 3);
    for (int i = 2; i <= 3; ++i)
        Sprite(*w, i)[63] = 0xFA;
    uitest::Child<QAction>(*w, "Clearalloverlayattributes1")->trigger();
    QCOMPARE(GetAttribute(w->document().bank.sprites, 2), 0xEA);
    uitest::Child<QAction>(*w, "ClearAttributes1")->trigger();
    QCOMPARE(GetAttribute(w->document().bank.sprites, 3), 0x0A);
    Select(*w, 3, 3);
    uitest::Child<QAction>(*w, "ClearAttributes2")->trigger();
    QCOMPARE(GetAttribute(w->document().bank.sprites, 3), 0x00);
    QCOMPARE(GetAttribute(w->document().bank.sprites, 2), 0x0A);
    QCOMPARE(HistoryPosition(w->document().history), 6);
}

void CommandsTest::copyStyleEnablesPasteStyleAtOnce()
{
    auto w = uitest::NewWindow();
    QVERIFY(!uitest::Child<QAction>(*w, "Mnu_PasteStyle")->isEnabled());
    Sprite(*w, 0)[63] = 255;
    w->RefreshAll();

    // A style of 255 reads as "nothing copied" from the next refresh on.
    Key(*w, Qt::Key_C, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(int(w->document().copiedStyle), 255);
    QVERIFY(uitest::Child<QAction>(*w, "Mnu_PasteStyle")->isEnabled());
    Select(*w, 1, 1);
    QVERIFY(!uitest::Child<QAction>(*w, "Mnu_PasteStyle")->isEnabled());

    Sprite(*w, 1)[63] = 0x9A;
    Key(*w, Qt::Key_C, Qt::ControlModifier | Qt::AltModifier);
    Select(*w, 2, 4);
    Key(*w, Qt::Key_V, Qt::ControlModifier | Qt::AltModifier);
    for (int i = 2; i <= 4; ++i)
        QCOMPARE(GetAttribute(w->document().bank.sprites, i), 0x9A);
    QCOMPARE(GetAttribute(w->document().bank.sprites, 5), 133);
    QCOMPARE(HistoryPosition(w->document().history), 2);
}

void CommandsTest::undoKeepsTheSpriteCountAndColours()
{
    auto w = uitest::NewWindow();
    Key(*w, Qt::Key_A);
    Key(*w, Qt::Key_I); // Negative over sprites 0..31
    QCOMPARE(IsBlank(w->document().bank.sprites, 31), 0);
    Sprite(*w, 200)[5] = 0x55; // a slot beyond the count changed without a step

    uitest::Child<QLineEdit>(*w, "Edit2")->setText(QStringLiteral("10"));
    QTest::keyClick(uitest::Child<QLineEdit>(*w, "Edit2"), Qt::Key_Return);
    w->document().bank.colourMulti1 = 9;
    Key(*w, Qt::Key_Z);
    for (int i = 0; i < 32; ++i)
        QCOMPARE(IsBlank(w->document().bank.sprites, i), 1);
    QCOMPARE(int(Sprite(*w, 200)[5]), 0);
    QCOMPARE(w->document().bank.spriteCount, 10);
    QCOMPARE(uitest::Child<QLineEdit>(*w, "Edit2")->text(), QStringLiteral("10"));
    QCOMPARE(int(w->document().bank.colourMulti1), 9);
}

void CommandsTest::shortcutsReachTheMenuFromTheQuantityBox()
{
    auto w = uitest::NewWindow();
    Mark(*w, 0, 0x11, 0x83);
    w->RefreshAll();
    uitest::Child<QLineEdit>(*w, "Edit2")->setFocus();
    QVERIFY(uitest::Child<QLineEdit>(*w, "Edit2")->hasFocus());

    QTest::keyClick(uitest::Child<QLineEdit>(*w, "Edit2"), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(w->document().buffer.bufferCount, 1);
    QTest::keyClick(uitest::Child<QLineEdit>(*w, "Edit2"), Qt::Key_Delete);
    QCOMPARE(IsBlank(w->document().bank.sprites, 0), 1);
    QCOMPARE(GetAttribute(w->document().bank.sprites, 0), 0x83);
    QTest::keyClick(uitest::Child<QLineEdit>(*w, "Edit2"), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(int(Sprite(*w, 0)[0]), 0x11);
    QTest::keyClick(uitest::Child<QLineEdit>(*w, "Edit2"), Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(IsBlank(w->document().bank.sprites, 0), 1);
    QCOMPARE(GetAttribute(w->document().bank.sprites, 0), 133);
    QTest::keyClick(uitest::Child<QLineEdit>(*w, "Edit2"), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(w->document().bank.rangeEnd, 31);
    QCOMPARE(HistoryPosition(w->document().history), 4);
    QCOMPARE(uitest::Child<QLineEdit>(*w, "Edit2")->text(), QStringLiteral("32"));
    QVERIFY(uitest::Child<QLineEdit>(*w, "Edit2")->hasFocus());
}

void CommandsTest::theChosenToolShowsInBothToolBarStyles()
{
    auto w = uitest::NewWindow();
    QToolButton* brush = Button(*w, "Btn_Brush1");
    for (const char* style : {"Mnu_ToolBar_Raised", "Mnu_ToolBar_Flat"})
    {
        uitest::Child<QAction>(*w, style)->trigger();
        uitest::Child<QAction>(*w, "Btn_Brush1")->trigger();
        const QImage down = brush->grab().toImage();
        uitest::Child<QAction>(*w, "Btn_Flood")->trigger();
        const QImage up = brush->grab().toImage();
        QCOMPARE(down.size(), up.size());
        // The button's look changes all round its edge, not in a stray pixel.
        int differing = 0;
        for (int y = 0; y < up.height(); ++y)
            for (int x = 0; x < up.width(); ++x)
                differing += down.pixel(x, y) != up.pixel(x, y);
        QVERIFY2(differing >= up.width() + up.height(), style);
    }
}

QTEST_MAIN(CommandsTest)
#include "commands_test.moc"
