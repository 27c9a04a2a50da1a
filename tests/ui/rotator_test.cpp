// The rotator window: opening state, the frame and sequence actions into the bank and
// the copy buffer, what does not fit, and the angle-count buttons.
#include <QAction>
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

Block Snapshot(const u8* block)
{
    return Block(block, block + kBlockBytes);
}

bool SameSprite(const u8* a, const u8* b)
{
    return std::memcmp(a, b, kSpriteBytes) == 0;
}
const u8* At(const u8* block, int slot)
{
    return block + slot * kSpriteBytes;
}

// Random pixels; the attribute byte's colours differ from the shared colours 11, 0 and 1,
// so a sprite re-encodes unchanged at angle 0.
void PutRandomSprite(TForm1& window, int index, u8 attribute, unsigned seed)
{
    std::mt19937 random(seed);
    u8 sprite[kSpriteBytes];
    for (int i = 0; i < kPixelBytes; ++i)
        sprite[i] = static_cast<u8>(random());
    sprite[kAttributeByte] = attribute;
    PutSprite(window.document().bank.sprites, index, sprite);
}

// What the rotation arithmetic gives for sprite current of block (frame, then partner).
std::vector<Block> Turn(const TForm1& window, const Block& block, int current, int angleCount, int angleIndex)
{
    const SpriteBank& bank = window.document().bank;
    const u8 fields[4] = {bank.colourTransp, bank.colourMulti1, bank.colourSprite, bank.colourMulti2};
    RotatorState state;
    ResetRotatorState(state, window.host().viewColours()[bank.colourTransp]);
    RenderRotatedFrame(block.data(), bank.spriteCount, fields, window.host().viewColours(), current,
                       angleCount, angleIndex, state);
    std::vector<Block> result{Block(state.frameSprite, state.frameSprite + kSpriteBytes)};
    if (state.hasPartner) result.emplace_back(state.partnerSprite, state.partnerSprite + kSpriteBytes);
    return result;
}

// Opens the rotator from the menu and runs drive while it shows; drive closes it (after a
// failed check inside drive the window is still open and is cancelled here).
bool RunRotator(TForm1& window, const std::function<void(TFormRotate*)>& drive)
{
    bool opened = false;
    uitest::WhenModal(
        [&](QWidget* modal)
        {
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
    uitest::Child<QAction>(window, "Mnu_Rotator")->trigger();
    return opened;
}

// The frame count as shown, " refused" when it is red and bold, " OK" when OK is enabled.
// Otherwise it is in the theme's text colour (black in the light theme the tests run with).
QString Shown(const TFormRotate* form)
{
    const QColor colour = form->Label2->palette().color(QPalette::WindowText);
    const bool red = colour == QColor(Qt::red);
    const bool plain = colour == form->palette().color(QPalette::WindowText);
    const bool bold = form->Label2->font().bold();
    QString shown = form->Label2->text();
    if (red && bold)
        shown += " refused";
    else if (!plain || bold)
        shown += " (mixed style)";
    if (form->Btn_Ok->isEnabled()) shown += " OK";
    return shown;
}

} // namespace

class RotatorTest : public QObject
{
    Q_OBJECT

  private slots:
    void openingStateAndClosingWithoutOk();
    void frameAtCurrentSpriteAndInCopyBuffer();
    void sequencesIntoTheBank();
    void threeSixtyAnglesIntoCopyBuffer();
};

void RotatorTest::openingStateAndClosingWithoutOk()
{
    auto window = uitest::NewWindow();
    PutRandomSprite(*window, 3, 0x80 | 5, 11);
    PutRandomSprite(*window, 4, 7, 12);
    uitest::Child<QScrollBar>(*window, "ScrollBar1")->setValue(3);
    const Block bank = Snapshot(window->document().bank.sprites);
    const int history = HistoryPosition(window->document().history);
    const QRect main = window->frameGeometry(); // placed frame to frame

    bool opened = RunRotator(
        *window,
        [&](TFormRotate* form)
        {
            QCOMPARE(form->windowTitle(), QStringLiteral("Rotator"));
            QCOMPARE(form->size(), QSize(302, 422));
            QCOMPARE(form->minimumSize(), form->maximumSize());
            QVERIFY(uitest::PlacedAt(form, QPoint(main.left() + main.width() + 3, main.top())));

            // The angle counts top to bottom (the buttons are not numbered in that order).
            QList<QRadioButton*> angles = form->GroupBox1->findChildren<QRadioButton*>();
            std::sort(angles.begin(), angles.end(),
                      [](QRadioButton* a, QRadioButton* b) { return a->y() < b->y(); });
            QStringList order;
            for (QRadioButton* radio : angles)
                order << radio->objectName().mid(11) + ":" + radio->text();
            QCOMPARE(order.join(' '), QStringLiteral("1:4 2:8 3:16 4:32 5:64 7:128 8:256 6:360"));
            QVERIFY(form->RadioButton4->isChecked());
            QVERIFY(form->Radio_FrameToCurrent->isChecked());

            // Slider 0..32 at 0 down the whole right edge; angle 0, nothing to place.
            QCOMPARE(form->ScrollBar1->orientation(), Qt::Vertical);
            QCOMPARE(form->ScrollBar1->geometry(), QRect(285, 0, 17, 422));
            QCOMPARE(form->ScrollBar1->maximum(), 32);
            QCOMPARE(form->ScrollBar1->value(), 0);
            QCOMPARE(form->Label1->text(), QStringLiteral("Angle : 0"));
            QCOMPARE(Shown(form), QStringLiteral("Frames : 0"));

            // The preview shows the current sprite three times enlarged, on screen too.
            QImage expected(24, 21, QImage::Format_RGB32);
            const SpriteBank& bank = window->document().bank;
            const RenderColours colours{
                {bank.colourTransp, bank.colourMulti1, bank.colourSprite, bank.colourMulti2},
                window->host().viewColours(),
                window->host().viewColours()};
            RenderSpritePixels(bank.sprites, 3, bank.spriteCount, colours, 0,
                               reinterpret_cast<std::uint32_t*>(expected.bits()), 24);
            const QImage shown = form->PaintBox1->grab().toImage();
            QCOMPARE(shown.size(), QSize(72, 63));
            for (int y = 0; y < 21; ++y)
                for (int x = 0; x < 24; ++x)
                {
                    QCOMPARE(uitest::Rgb(shown, 3 * x, 3 * y), uitest::Rgb(expected, x, y));
                    QCOMPARE(uitest::Rgb(shown, 3 * x + 2, 3 * y + 2), uitest::Rgb(expected, x, y));
                }

            form->ScrollBar1->setValue(5);
            form->Radio_SeqToCurrent->click();
            QCOMPARE(Shown(form), QStringLiteral("Frames : 5 OK"));
            form->Button2->click();
        });
    QVERIFY(opened);
    if (QTest::currentTestFailed()) return;
    QVERIFY(Snapshot(window->document().bank.sprites) == bank);
    QCOMPARE(HistoryPosition(window->document().history), history);

    // The close box writes nothing either, but the main window is refreshed: a current
    // sprite moved behind its back shows once the rotator closes.
    window->document().bank.currentSprite = 4;
    QCOMPARE(uitest::Child<QLabel>(*window, "Label1")->text(), QStringLiteral("003 "));
    opened = RunRotator(*window,
                        [&](TFormRotate* form)
                        {
                            form->ScrollBar1->setValue(8);
                            form->close();
                        });
    QVERIFY(opened);
    QVERIFY(Snapshot(window->document().bank.sprites) == bank);
    QCOMPARE(HistoryPosition(window->document().history), history);
    QCOMPARE(window->document().buffer.bufferCount, 0);
    QCOMPARE(uitest::Child<QLabel>(*window, "Label1")->text(), QStringLiteral("004 "));
}

void RotatorTest::frameAtCurrentSpriteAndInCopyBuffer()
{
    auto window = uitest::NewWindow();
    PutRandomSprite(*window, 2, 0x07, 22);            // hires yellow
    PutRandomSprite(*window, 5, 0x80 | 0x10 | 5, 31); // multicolour, overlay next
    PutRandomSprite(*window, 6, 13, 32);
    RecordUndoStep(window->document()); // the drawing above as the state Undo returns to
    uitest::Child<QScrollBar>(*window, "ScrollBar1")->setValue(2);
    const Block before = Snapshot(window->document().bank.sprites);
    const int history = HistoryPosition(window->document().history);

    // The frame at the current sprite: its quarter turn clockwise, one undo step.
    bool opened =
        RunRotator(*window,
                   [&](TFormRotate* form)
                   {
                       for (int position : {1, 32, 8})
                       {
                           form->ScrollBar1->setValue(position);
                           QCOMPARE(form->Label1->text(), QStringLiteral("Angle : %1").arg(position));
                           QCOMPARE(Shown(form), QStringLiteral("Frames : 1 OK"));
                       }
                       form->Btn_Ok->click();
                   });
    QVERIFY(opened);
    if (QTest::currentTestFailed()) return;
    const u8* sprites = window->document().bank.sprites;
    QVERIFY(SameSprite(At(sprites, 2), Turn(*window, before, 2, 32, 8)[0].data()));
    QCOMPARE(GetPixel(sprites, 2, 12, 0), GetPixel(before.data(), 2, 2, 9));
    QCOMPARE(GetPixel(sprites, 2, 12, 20), GetPixel(before.data(), 2, 22, 9));
    QVERIFY(std::equal(sprites + 3 * kSpriteBytes, sprites + kBlockBytes, before.begin() + 3 * kSpriteBytes));
    QCOMPARE(HistoryPosition(window->document().history), history + 1);
    uitest::Child<QAction>(*window, "Mnu_Undo")->trigger();
    QVERIFY(Snapshot(sprites) == before);

    // Into the copy buffer: one sprite, then two for a sprite with its partner; the bank
    // and the undo history stay as they are.
    const int historyTop = HistoryTop(window->document().history);
    QVERIFY(!uitest::Child<QAction>(*window, "Mnu_Paste")->isEnabled());
    opened = RunRotator(*window,
                        [&](TFormRotate* form)
                        {
                            form->Radio_FrameToBuffer->click();
                            form->ScrollBar1->setValue(8);
                            QCOMPARE(Shown(form), QStringLiteral("Frames : 1 OK"));
                            form->Btn_Ok->click();
                        });
    QVERIFY(opened);
    QCOMPARE(window->document().buffer.bufferCount, 1);
    QVERIFY(SameSprite(window->document().buffer.bufferSprites, Turn(*window, before, 2, 32, 8)[0].data()));
    QVERIFY(uitest::Child<QAction>(*window, "Mnu_Paste")->isEnabled());

    uitest::Child<QScrollBar>(*window, "ScrollBar1")->setValue(5);
    opened = RunRotator(*window,
                        [&](TFormRotate* form)
                        {
                            form->Radio_FrameToBuffer->click();
                            for (int position : {1, 32, 3})
                            {
                                form->ScrollBar1->setValue(position);
                                QCOMPARE(Shown(form), QStringLiteral("Frames : 2 OK"));
                            }
                            form->Btn_Ok->click();
                        });
    QVERIFY(opened);
    const std::vector<Block> pair = Turn(*window, before, 5, 32, 3);
    QCOMPARE(pair.size(), std::size_t(2));
    QCOMPARE(window->document().buffer.bufferCount, 2);
    QVERIFY(SameSprite(At(window->document().buffer.bufferSprites, 0), pair[0].data()));
    QVERIFY(SameSprite(At(window->document().buffer.bufferSprites, 1), pair[1].data()));
    QVERIFY(Snapshot(sprites) == before);
    QCOMPARE(HistoryPosition(window->document().history), history);
    QCOMPARE(HistoryTop(window->document().history), historyTop);
}

void RotatorTest::sequencesIntoTheBank()
{
    auto window = uitest::NewWindow();
    uitest::SetQuantity(*window, 252);
    PutRandomSprite(*window, 10, 0x80 | 0x10 | 5, 51); // with its partner 11
    PutRandomSprite(*window, 11, 13, 52);
    PutRandomSprite(*window, 20, 0x07, 61);
    PutRandomSprite(*window, 250, 0x07, 41);
    const Block before = Snapshot(window->document().bank.sprites);
    const u8* sprites = window->document().bank.sprites;
    // Runs a sequence into the bank at sprite current (32 angles, or 4) and returns what the
    // window showed before OK.
    const auto sequence = [&](int current, bool fourAngles, int angleIndex)
    {
        uitest::Child<QScrollBar>(*window, "ScrollBar1")->setValue(current);
        QString shown;
        const bool opened = RunRotator(*window,
                                       [&](TFormRotate* form)
                                       {
                                           if (fourAngles) form->RadioButton1->click();
                                           form->Radio_SeqToCurrent->click();
                                           form->ScrollBar1->setValue(angleIndex);
                                           shown = Shown(form);
                                           form->Btn_Ok->click();
                                       });
        return opened ? shown : QStringLiteral("not opened");
    };

    // Sprite 250: 7 frames do not fit (another action fits again); 6 fill 250..255, past
    // the 252 sprites in use.
    uitest::Child<QScrollBar>(*window, "ScrollBar1")->setValue(250);
    const int history = HistoryPosition(window->document().history);
    const bool opened = RunRotator(*window,
                                   [&](TFormRotate* form)
                                   {
                                       form->Radio_SeqToCurrent->click();
                                       form->ScrollBar1->setValue(7);
                                       QCOMPARE(Shown(form), QStringLiteral("Frames : 7 refused"));
                                       form->Radio_FrameToCurrent->click();
                                       QCOMPARE(Shown(form), QStringLiteral("Frames : 1 OK"));
                                       form->Radio_SeqToCurrent->click();
                                       QCOMPARE(Shown(form), QStringLiteral("Frames : 7 refused"));
                                       form->Button2->click();
                                   });
    QVERIFY(opened);
    if (QTest::currentTestFailed()) return;
    QCOMPARE(sequence(250, false, 6), QStringLiteral("Frames : 6 OK"));
    for (int a = 0; a < 6; ++a)
        QVERIFY2(SameSprite(At(sprites, 250 + a), Turn(*window, before, 250, 32, a)[0].data()),
                 qPrintable(QString::number(a)));
    QVERIFY(SameSprite(At(sprites, 250), At(before.data(), 250)));
    QCOMPARE(window->document().bank.spriteCount, 252);
    QCOMPARE(window->document().bank.currentSprite, 250);
    QCOMPARE(HistoryPosition(window->document().history), history + 1);

    // An overlay pair, 4 angles: 8 frames, sprite and partner for each angle.
    QCOMPARE(sequence(10, false, 4), QStringLiteral("Frames : 8 OK"));
    for (int a = 0; a < 4; ++a)
    {
        const std::vector<Block> pair = Turn(*window, before, 10, 32, a);
        QVERIFY(SameSprite(At(sprites, 10 + 2 * a), pair[0].data()));
        QVERIFY(SameSprite(At(sprites, 11 + 2 * a), pair[1].data()));
    }
    QVERIFY(SameSprite(At(sprites, 18), At(before.data(), 18)));

    // 4 angles of a sprite without partner: 0, 90, 180 and 270 degrees.
    QCOMPARE(sequence(20, true, 4), QStringLiteral("Frames : 4 OK"));
    for (int a = 0; a < 4; ++a)
        QVERIFY(SameSprite(At(sprites, 20 + a), Turn(*window, before, 20, 32, 8 * a)[0].data()));
    QCOMPARE(GetPixel(sprites, 22, 0, 0), GetPixel(before.data(), 20, 23, 19));
}

void RotatorTest::threeSixtyAnglesIntoCopyBuffer()
{
    auto window = uitest::NewWindow();
    PutRandomSprite(*window, 0, 0x07, 71);
    PutRandomSprite(*window, 1, 0x80 | 0x10 | 5, 72);
    PutRandomSprite(*window, 2, 13, 73);
    const Block bank = Snapshot(window->document().bank.sprites);
    const int history = HistoryPosition(window->document().history);
    const u8* buffer = window->document().buffer.bufferSprites;

    // Alone: 256 frames fill the whole buffer, 257 do not fit.
    bool opened = RunRotator(*window,
                             [&](TFormRotate* form)
                             {
                                 form->RadioButton6->click();
                                 QCOMPARE(form->ScrollBar1->maximum(), 360);
                                 form->Radio_SeqToBuffer->click();
                                 form->ScrollBar1->setValue(257);
                                 QCOMPARE(Shown(form), QStringLiteral("Frames : 257 refused"));
                                 form->ScrollBar1->setValue(256);
                                 QCOMPARE(Shown(form), QStringLiteral("Frames : 256 OK"));
                                 form->Btn_Ok->click();
                             });
    QVERIFY(opened);
    if (QTest::currentTestFailed()) return;
    QCOMPARE(window->document().buffer.bufferCount, 256);
    for (int a : {0, 1, 90, 255})
        QVERIFY2(SameSprite(At(buffer, a), Turn(*window, bank, 0, 360, a)[0].data()),
                 qPrintable(QString::number(a)));

    // With a partner: 128 angles fit, 129 do not. Three angles leave the rest of the
    // buffer as it was. Choosing another angle count returns to angle 0.
    uitest::Child<QScrollBar>(*window, "ScrollBar1")->setValue(1);
    const Block old = Snapshot(buffer);
    opened = RunRotator(*window,
                        [&](TFormRotate* form)
                        {
                            form->RadioButton6->click();
                            form->Radio_SeqToBuffer->click();
                            form->ScrollBar1->setValue(129);
                            QCOMPARE(Shown(form), QStringLiteral("Frames : 258 refused"));
                            form->ScrollBar1->setValue(128);
                            QCOMPARE(Shown(form), QStringLiteral("Frames : 256 OK"));

                            form->ScrollBar1->setValue(200);
                            form->RadioButton2->click();
                            QCOMPARE(form->ScrollBar1->value(), 0);
                            QCOMPARE(form->ScrollBar1->maximum(), 8);
                            QCOMPARE(form->Label1->text(), QStringLiteral("Angle : 0"));
                            QCOMPARE(Shown(form), QStringLiteral("Frames : 0"));

                            form->RadioButton6->click();
                            form->ScrollBar1->setValue(3);
                            form->Btn_Ok->click();
                        });
    QVERIFY(opened);
    if (QTest::currentTestFailed()) return;
    QCOMPARE(window->document().buffer.bufferCount, 6);
    for (int a = 0; a < 3; ++a)
    {
        const std::vector<Block> pair = Turn(*window, bank, 1, 360, a);
        QVERIFY(SameSprite(At(buffer, 2 * a), pair[0].data()));
        QVERIFY(SameSprite(At(buffer, 2 * a + 1), pair[1].data()));
    }
    QVERIFY(std::equal(old.begin() + 6 * kSpriteBytes, old.end(), buffer + 6 * kSpriteBytes));
    QVERIFY(Snapshot(window->document().bank.sprites) == bank);
    QCOMPARE(HistoryPosition(window->document().history), history);
}

QTEST_MAIN(RotatorTest)
#include "rotator_test.moc"
