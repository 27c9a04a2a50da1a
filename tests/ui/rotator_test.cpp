// The rotator window: opening state, the frame and sequence actions into the bank and
// the copy buffer, what does not fit, and the angle-count buttons.
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

#include <algorithm>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "UiTestSupport.h"
#include "core/SpriteBankStore.h"
#include "ui/Form1.h"
#include "ui/Widgets.h"
#include "ui/tools/FormRotate.h"

using namespace kelmora;

namespace
{

using Block = std::vector<u8>;

Block Snapshot(const TForm1& window)
{
    return Block(window.Bank.sprites, window.Bank.sprites + kBlockBytes);
}

Block BufferSnapshot(const TForm1& window)
{
    return Block(window.Buffer.bufferSprites, window.Buffer.bufferSprites + kBlockBytes);
}

const u8* Slot(const Block& block, int index) { return block.data() + index * kSpriteBytes; }

bool SameSprite(const u8* a, const u8* b) { return std::memcmp(a, b, kSpriteBytes) == 0; }

// Random pixels with the given attribute byte.
void PutRandomSprite(TForm1& window, int index, u8 attribute, unsigned seed)
{
    std::mt19937 random(seed);
    u8 sprite[kSpriteBytes];
    for (int i = 0; i < kPixelBytes; ++i) sprite[i] = static_cast<u8>(random());
    sprite[kAttributeByte] = attribute;
    PutSprite(window.Bank.sprites, index, sprite);
}

// The frame (and partner) the rotation arithmetic gives for sprite current of block.
struct Turned
{
    u8 frame[kSpriteBytes];
    u8 partner[kSpriteBytes];
    bool hasPartner;
};

Turned Turn(const TForm1& window, const Block& block, int current, int angleCount, int angleIndex)
{
    const SpriteBank& bank = window.Bank;
    const u8 fields[4] = {bank.colourTransp, bank.colourMulti1, bank.colourSprite, bank.colourMulti2};
    RotatorState state;
    ResetRotatorState(state, window.BaseArgb[bank.colourTransp]);
    RenderRotatedFrame(block.data(), bank.spriteCount, fields, window.BaseArgb, current, angleCount, angleIndex,
                       state);
    Turned result{};
    std::memcpy(result.frame, state.frameSprite, kSpriteBytes);
    std::memcpy(result.partner, state.partnerSprite, kSpriteBytes);
    result.hasPartner = state.hasPartner;
    return result;
}

// Opens the rotator from the menu and runs drive while it is showing; drive closes it
// (a failed check inside drive leaves it open, and it is cancelled here).
bool RunRotator(TForm1& window, const std::function<void(TFormRotate*)>& drive)
{
    bool opened = false;
    uitest::WhenModal([&](QWidget* modal) {
        auto* form = qobject_cast<TFormRotate*>(modal);
        if (!form)
        {
            modal->close();
            return;
        }
        opened = true;
        drive(form);
        if (form->isVisible()) form->reject();
    });
    window.Mnu_Rotator->trigger();
    return opened;
}

void SetSpriteCount(TForm1& window, int count)
{
    window.UpDown1->setPosition(count);
    window.ApplySpriteQuantity();
    window.RefreshAll();
}

bool ShowsTooMany(const TFormRotate* form)
{
    return form->Label2->palette().color(QPalette::WindowText) == QColor(Qt::red) && form->Label2->font().bold() &&
           !form->Btn_Ok->isEnabled();
}

bool ShowsFits(const TFormRotate* form)
{
    return form->Label2->palette().color(QPalette::WindowText) == QColor(Qt::black) &&
           !form->Label2->font().bold() && form->Btn_Ok->isEnabled();
}

} // namespace

class RotatorTest : public QObject
{
    Q_OBJECT

private slots:
    void openingStateAndCancel();
    void closeBoxWritesNothingButRefreshes();
    void frameAtCurrentSpriteIsOneUndoStep();
    void frameIntoCopyBuffer();
    void sequenceAtSprite250();
    void overlayPairSequence();
    void fourAnglesAreQuarterTurns();
    void threeSixtyAnglesIntoCopyBuffer();
    void angleCountReturnsToAngleZero();
};

void RotatorTest::openingStateAndCancel()
{
    auto window = uitest::NewWindow();
    PutRandomSprite(*window, 3, 0x80 | 5, 11); // multicolour, colours distinct from 11, 0, 1
    window->ScrollBar1->setValue(3);
    const Block bank = Snapshot(*window);
    const Block buffer = BufferSnapshot(*window);
    const int history = HistoryPosition();
    const QRect main = window->geometry();

    const bool opened = RunRotator(*window, [&](TFormRotate* form) {
        QCOMPARE(form->windowTitle(), QStringLiteral("Rotator"));
        QCOMPARE(form->size(), QSize(302, 422));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QVERIFY(form->windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(form->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(form->geometry().topLeft(), QPoint(main.left() + main.width() + 3, main.top()));

        // The angle counts, top to bottom, 32 chosen.
        QList<QRadioButton*> angles = form->GroupBox1->findChildren<QRadioButton*>();
        std::sort(angles.begin(), angles.end(), [](QRadioButton* a, QRadioButton* b) { return a->y() < b->y(); });
        QStringList names, texts;
        for (QRadioButton* radio : angles)
        {
            names << radio->objectName();
            texts << radio->text();
        }
        QCOMPARE(names, QStringList({"RadioButton1", "RadioButton2", "RadioButton3", "RadioButton4", "RadioButton5",
                                     "RadioButton7", "RadioButton8", "RadioButton6"}));
        QCOMPARE(texts, QStringList({"4", "8", "16", "32", "64", "128", "256", "360"}));
        QVERIFY(form->RadioButton4->isChecked());
        QCOMPARE(form->RadioButton1->toolTip(), QStringLiteral("divide the rotation circle into 4 parts"));
        QCOMPARE(form->GroupBox1->title(), QStringLiteral("# Angles"));
        QCOMPARE(form->GroupBox2->title(), QStringLiteral("Action"));
        QVERIFY(form->Radio_FrameToCurrent->isChecked());
        QCOMPARE(form->Radio_SeqToBuffer->text(), QStringLiteral("Place this Sequence in the Copy buffer"));

        // The slider runs down the whole right edge, 0..32 at 0.
        QCOMPARE(form->ScrollBar1->orientation(), Qt::Vertical);
        QCOMPARE(form->ScrollBar1->geometry().right(), 301);
        QCOMPARE(form->ScrollBar1->height(), 422);
        QCOMPARE(form->ScrollBar1->minimum(), 0);
        QCOMPARE(form->ScrollBar1->maximum(), 32);
        QCOMPARE(form->ScrollBar1->value(), 0);

        QCOMPARE(form->Label1->text(), QStringLiteral("Angle : 0"));
        QCOMPARE(form->Label2->text(), QStringLiteral("Frames : 0"));
        QVERIFY(!form->Btn_Ok->isEnabled());
        QCOMPARE(form->Btn_Ok->text(), QStringLiteral("OK"));
        QCOMPARE(form->Button2->text(), QStringLiteral("Cancel"));

        // The preview shows the current sprite, each pixel as a 3 x 3 block, on screen too.
        QCOMPARE(form->PaintBox1->size(), QSize(72, 63));
        QImage expected(24, 21, QImage::Format_RGB32);
        window->RenderSprite(window->Bank.sprites, 3, expected, 0);
        const QImage shown = form->PaintBox1->grab().toImage();
        for (int y = 0; y < 21; ++y)
            for (int x = 0; x < 24; ++x)
            {
                const unsigned colour = uitest::Rgb(expected, x, y);
                QCOMPARE(uitest::Rgb(form->PreviewImage, 3 * x, 3 * y), colour);
                QCOMPARE(uitest::Rgb(form->PreviewImage, 3 * x + 2, 3 * y + 2), colour);
                QCOMPARE(uitest::Rgb(shown, 3 * x + 1, 3 * y + 1), colour);
            }

        // Moving the slider and changing the action without OK, then Cancel.
        form->ScrollBar1->setValue(5);
        form->Radio_SeqToCurrent->click();
        QCOMPARE(form->Label2->text(), QStringLiteral("Frames : 5"));
        form->Button2->click();
        QVERIFY(!form->isVisible());
    });
    QVERIFY(opened);
    if (QTest::currentTestFailed()) return;
    QVERIFY(Snapshot(*window) == bank);
    QVERIFY(BufferSnapshot(*window) == buffer);
    QCOMPARE(window->Buffer.bufferCount, 0);
    QCOMPARE(HistoryPosition(), history);
    QCOMPARE(window->Bank.currentSprite, 3);
}

void RotatorTest::closeBoxWritesNothingButRefreshes()
{
    auto window = uitest::NewWindow();
    PutRandomSprite(*window, 4, 7, 12);
    // The current sprite moves without a refresh; the main window catches up when the
    // rotator closes, however it closes.
    window->Bank.currentSprite = 4;
    QCOMPARE(window->Label1->text(), QStringLiteral("000 "));
    const Block bank = Snapshot(*window);
    const int history = HistoryPosition();

    const bool opened = RunRotator(*window, [&](TFormRotate* form) {
        form->ScrollBar1->setValue(8);
        QVERIFY(form->Btn_Ok->isEnabled());
        form->close(); // the close box
        QVERIFY(!form->isVisible());
    });
    QVERIFY(opened);
    QVERIFY(Snapshot(*window) == bank);
    QCOMPARE(HistoryPosition(), history);
    QCOMPARE(window->Buffer.bufferCount, 0);
    QCOMPARE(window->Label1->text(), QStringLiteral("004 "));
}

void RotatorTest::frameAtCurrentSpriteIsOneUndoStep()
{
    auto window = uitest::NewWindow();
    PutRandomSprite(*window, 1, 0x07, 21); // hires yellow
    PutRandomSprite(*window, 2, 0x07, 22);
    PutRandomSprite(*window, 3, 0x80 | 5, 23);
    HistoryPush(window->Bank.sprites); // the drawing above as the state Undo returns to
    window->ScrollBar1->setValue(2);
    const Block before = Snapshot(*window);
    const Turned quarter = Turn(*window, before, 2, 32, 8);
    const int history = HistoryPosition();

    const bool opened = RunRotator(*window, [&](TFormRotate* form) {
        for (int position : {1, 31, 32, 8})
        {
            form->ScrollBar1->setValue(position);
            QCOMPARE(form->Label1->text(), QStringLiteral("Angle : %1").arg(position));
            QCOMPARE(form->Label2->text(), QStringLiteral("Frames : 1"));
            QVERIFY(ShowsFits(form));
        }
        form->Btn_Ok->click();
    });
    QVERIFY(opened);
    if (QTest::currentTestFailed()) return;

    // Sprite 2 is its quarter turn clockwise; nothing else changed.
    const Block after = Snapshot(*window);
    QVERIFY(SameSprite(Slot(after, 2), quarter.frame));
    QVERIFY(!SameSprite(Slot(after, 2), Slot(before, 2)));
    QCOMPARE(GetPixel(window->Bank.sprites, 2, 12, 0), GetPixel(before.data(), 2, 2, 9));
    QCOMPARE(GetPixel(window->Bank.sprites, 2, 12, 20), GetPixel(before.data(), 2, 22, 9));
    QCOMPARE(GetPixel(window->Bank.sprites, 2, 12, 10), GetPixel(before.data(), 2, 12, 9));
    for (int slot = 0; slot < kSlotCount; ++slot)
        if (slot != 2) QVERIFY2(SameSprite(Slot(after, slot), Slot(before, slot)), qPrintable(QString::number(slot)));
    QCOMPARE(HistoryPosition(), history + 1);
    QCOMPARE(window->Buffer.bufferCount, 0);

    QVERIFY(window->Mnu_Undo->isEnabled());
    window->Mnu_Undo->trigger();
    QVERIFY(Snapshot(*window) == before);
}

void RotatorTest::frameIntoCopyBuffer()
{
    auto window = uitest::NewWindow();
    PutRandomSprite(*window, 5, 0x80 | 0x10 | 5, 31); // multicolour with its partner below
    PutRandomSprite(*window, 6, 13, 32);               // hires light green
    PutRandomSprite(*window, 7, 0x80 | 14, 33);        // no overlay flag
    const Block bank = Snapshot(*window);
    const int history = HistoryPosition();
    const int historyTop = HistoryTop();
    QVERIFY(!window->Mnu_Paste->isEnabled());

    // Alone: one sprite in the buffer.
    window->ScrollBar1->setValue(7);
    const Turned alone = Turn(*window, bank, 7, 32, 8);
    bool opened = RunRotator(*window, [&](TFormRotate* form) {
        form->Radio_FrameToBuffer->click();
        form->ScrollBar1->setValue(8);
        QCOMPARE(form->Label2->text(), QStringLiteral("Frames : 1"));
        form->Btn_Ok->click();
    });
    QVERIFY(opened);
    if (QTest::currentTestFailed()) return;
    QCOMPARE(window->Buffer.bufferCount, 1);
    QVERIFY(SameSprite(window->Buffer.bufferSprites, alone.frame));
    QVERIFY(window->Mnu_Paste->isEnabled());

    // With a partner: two.
    window->ScrollBar1->setValue(5);
    const Turned pair = Turn(*window, bank, 5, 32, 3);
    QVERIFY(pair.hasPartner);
    opened = RunRotator(*window, [&](TFormRotate* form) {
        form->Radio_FrameToBuffer->click();
        for (int position : {1, 32, 3})
        {
            form->ScrollBar1->setValue(position);
            QCOMPARE(form->Label2->text(), QStringLiteral("Frames : 2"));
        }
        form->Btn_Ok->click();
    });
    QVERIFY(opened);
    if (QTest::currentTestFailed()) return;
    QCOMPARE(window->Buffer.bufferCount, 2);
    QVERIFY(SameSprite(window->Buffer.bufferSprites, pair.frame));
    QVERIFY(SameSprite(window->Buffer.bufferSprites + kSpriteBytes, pair.partner));

    // The bank and the undo history are left alone.
    QVERIFY(Snapshot(*window) == bank);
    QCOMPARE(HistoryPosition(), history);
    QCOMPARE(HistoryTop(), historyTop);
}

void RotatorTest::sequenceAtSprite250()
{
    auto window = uitest::NewWindow();
    SetSpriteCount(*window, 252);
    PutRandomSprite(*window, 249, 0x80 | 5, 40);
    PutRandomSprite(*window, 250, 0x07, 41);
    window->ScrollBar1->setValue(250);
    QCOMPARE(window->Bank.currentSprite, 250);
    const Block before = Snapshot(*window);
    const int history = HistoryPosition();

    const bool opened = RunRotator(*window, [&](TFormRotate* form) {
        form->Radio_SeqToCurrent->click();
        form->ScrollBar1->setValue(6);
        QCOMPARE(form->Label2->text(), QStringLiteral("Frames : 6"));
        QVERIFY(ShowsFits(form));

        form->ScrollBar1->setValue(7);
        QCOMPARE(form->Label2->text(), QStringLiteral("Frames : 7"));
        QVERIFY(ShowsTooMany(form));
        // Another action, or a smaller angle, makes it fit again.
        form->Radio_FrameToCurrent->click();
        QCOMPARE(form->Label2->text(), QStringLiteral("Frames : 1"));
        QVERIFY(ShowsFits(form));
        form->Radio_SeqToCurrent->click();
        QVERIFY(ShowsTooMany(form));
        form->ScrollBar1->setValue(6);
        QVERIFY(ShowsFits(form));
        form->Btn_Ok->click();
    });
    QVERIFY(opened);
    if (QTest::currentTestFailed()) return;

    // Slots 250..255 hold angles 0..5, past the 252 sprites in use.
    for (int a = 0; a < 6; ++a)
    {
        const Turned expected = Turn(*window, before, 250, 32, a);
        QVERIFY2(SameSprite(window->Bank.sprites + (250 + a) * kSpriteBytes, expected.frame),
                 qPrintable(QString::number(a)));
    }
    QVERIFY(SameSprite(window->Bank.sprites + 250 * kSpriteBytes, Slot(before, 250))); // angle 0 is itself
    QVERIFY(SameSprite(window->Bank.sprites + 249 * kSpriteBytes, Slot(before, 249)));
    QCOMPARE(window->Bank.spriteCount, 252);
    QCOMPARE(window->Bank.currentSprite, 250);
    QCOMPARE(HistoryPosition(), history + 1);
}

void RotatorTest::overlayPairSequence()
{
    auto window = uitest::NewWindow();
    const int c = 10;
    PutRandomSprite(*window, c, 0x80 | 0x10 | 5, 51);
    PutRandomSprite(*window, c + 1, 13, 52);
    PutRandomSprite(*window, c + 8, 0x80 | 3, 53);
    window->ScrollBar1->setValue(c);
    const Block before = Snapshot(*window);

    const bool opened = RunRotator(*window, [&](TFormRotate* form) {
        form->Radio_SeqToCurrent->click();
        form->ScrollBar1->setValue(4);
        QCOMPARE(form->Label2->text(), QStringLiteral("Frames : 8"));
        QVERIFY(ShowsFits(form));
        form->Btn_Ok->click();
    });
    QVERIFY(opened);
    if (QTest::currentTestFailed()) return;

    for (int a = 0; a < 4; ++a)
    {
        const Turned expected = Turn(*window, before, c, 32, a);
        QVERIFY(expected.hasPartner);
        QVERIFY2(SameSprite(window->Bank.sprites + (c + 2 * a) * kSpriteBytes, expected.frame),
                 qPrintable(QString::number(a)));
        QVERIFY2(SameSprite(window->Bank.sprites + (c + 2 * a + 1) * kSpriteBytes, expected.partner),
                 qPrintable(QString::number(a)));
    }
    QVERIFY(SameSprite(window->Bank.sprites + (c + 8) * kSpriteBytes, Slot(before, c + 8)));
}

void RotatorTest::fourAnglesAreQuarterTurns()
{
    auto window = uitest::NewWindow();
    const int c = 20;
    PutRandomSprite(*window, c, 0x07, 61);
    window->ScrollBar1->setValue(c);
    const Block before = Snapshot(*window);

    const bool opened = RunRotator(*window, [&](TFormRotate* form) {
        form->RadioButton1->click();
        QCOMPARE(form->ScrollBar1->maximum(), 4);
        form->Radio_SeqToCurrent->click();
        form->ScrollBar1->setValue(4);
        QCOMPARE(form->Label2->text(), QStringLiteral("Frames : 4"));
        form->Btn_Ok->click();
    });
    QVERIFY(opened);
    if (QTest::currentTestFailed()) return;

    // 0, 90, 180 and 270 degrees: the same pictures as 0, 8, 16 and 24 of 32 steps.
    for (int a = 0; a < 4; ++a)
    {
        const Turned expected = Turn(*window, before, c, 32, 8 * a);
        QVERIFY2(SameSprite(window->Bank.sprites + (c + a) * kSpriteBytes, expected.frame),
                 qPrintable(QString::number(a)));
    }
    QVERIFY(SameSprite(window->Bank.sprites + c * kSpriteBytes, Slot(before, c)));
    // The half turn: D(0, 0) from S(23, 19).
    QCOMPARE(GetPixel(window->Bank.sprites, c + 2, 0, 0), GetPixel(before.data(), c, 23, 19));
}

void RotatorTest::threeSixtyAnglesIntoCopyBuffer()
{
    auto window = uitest::NewWindow();
    PutRandomSprite(*window, 0, 0x07, 71);
    PutRandomSprite(*window, 1, 0x80 | 0x10 | 5, 72);
    PutRandomSprite(*window, 2, 13, 73);
    const Block bank = Snapshot(*window);
    const int history = HistoryPosition();

    // Alone: 256 frames fill the whole buffer, 257 do not fit.
    bool opened = RunRotator(*window, [&](TFormRotate* form) {
        form->RadioButton6->click();
        QCOMPARE(form->ScrollBar1->maximum(), 360);
        form->Radio_SeqToBuffer->click();
        form->ScrollBar1->setValue(257);
        QCOMPARE(form->Label2->text(), QStringLiteral("Frames : 257"));
        QVERIFY(ShowsTooMany(form));
        form->ScrollBar1->setValue(256);
        QCOMPARE(form->Label2->text(), QStringLiteral("Frames : 256"));
        QVERIFY(ShowsFits(form));
        form->Btn_Ok->click();
    });
    QVERIFY(opened);
    if (QTest::currentTestFailed()) return;
    QCOMPARE(window->Buffer.bufferCount, 256);
    for (int a : {0, 1, 90, 255})
        QVERIFY2(SameSprite(window->Buffer.bufferSprites + a * kSpriteBytes, Turn(*window, bank, 0, 360, a).frame),
                 qPrintable(QString::number(a)));

    // With a partner: 128 angles fit, 129 do not. Three angles leave the rest of the
    // buffer as it was.
    window->ScrollBar1->setValue(1);
    const Block buffer = BufferSnapshot(*window);
    opened = RunRotator(*window, [&](TFormRotate* form) {
        form->RadioButton6->click();
        form->Radio_SeqToBuffer->click();
        form->ScrollBar1->setValue(129);
        QCOMPARE(form->Label2->text(), QStringLiteral("Frames : 258"));
        QVERIFY(ShowsTooMany(form));
        form->ScrollBar1->setValue(128);
        QCOMPARE(form->Label2->text(), QStringLiteral("Frames : 256"));
        QVERIFY(ShowsFits(form));
        form->ScrollBar1->setValue(3);
        form->Btn_Ok->click();
    });
    QVERIFY(opened);
    if (QTest::currentTestFailed()) return;
    QCOMPARE(window->Buffer.bufferCount, 6);
    for (int a = 0; a < 3; ++a)
    {
        const Turned expected = Turn(*window, bank, 1, 360, a);
        QVERIFY(SameSprite(window->Buffer.bufferSprites + 2 * a * kSpriteBytes, expected.frame));
        QVERIFY(SameSprite(window->Buffer.bufferSprites + (2 * a + 1) * kSpriteBytes, expected.partner));
    }
    QVERIFY(std::equal(buffer.begin() + 6 * kSpriteBytes, buffer.end(), window->Buffer.bufferSprites + 6 * kSpriteBytes));

    QVERIFY(Snapshot(*window) == bank);
    QCOMPARE(HistoryPosition(), history);
}

void RotatorTest::angleCountReturnsToAngleZero()
{
    auto window = uitest::NewWindow();
    const bool opened = RunRotator(*window, [&](TFormRotate* form) {
        form->RadioButton6->click();
        form->ScrollBar1->setValue(200);
        QCOMPARE(form->Label1->text(), QStringLiteral("Angle : 200"));
        form->RadioButton2->click();
        QCOMPARE(form->ScrollBar1->value(), 0);
        QCOMPARE(form->ScrollBar1->minimum(), 0);
        QCOMPARE(form->ScrollBar1->maximum(), 8);
        QCOMPARE(form->Label1->text(), QStringLiteral("Angle : 0"));
        QCOMPARE(form->Label2->text(), QStringLiteral("Frames : 0"));
        QVERIFY(!form->Btn_Ok->isEnabled());
        // Clicking the chosen count again keeps the angle.
        form->ScrollBar1->setValue(3);
        form->RadioButton2->click();
        QCOMPARE(form->ScrollBar1->value(), 3);
        form->Button2->click();
    });
    QVERIFY(opened);
}

QTEST_MAIN(RotatorTest)
#include "rotator_test.moc"
