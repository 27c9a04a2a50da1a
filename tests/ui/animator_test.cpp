// The animator window: playback order, holds, overlay pairs, spinners, pause and stop,
// rates, closing, and the menu command that opens it.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <vector>

#include "UiTestSupport.h"
#include "core/SpriteBankStore.h"
#include "ui/Form1.h"
#include "ui/Widgets.h"
#include "ui/tools/FormAnim.h"

namespace
{

// Selects a range as a click on anchor and a Shift click on other would:
// anchor stays the current sprite and is one end of the range.
void Select(TForm1& window, int anchor, int other)
{
    uitest::Child<QScrollBar>(window, "ScrollBar1")->setValue(anchor);
    window.document().bank.currentSprite = anchor;
    window.document().bank.rangeStart = std::min(anchor, other);
    window.document().bank.rangeEnd = std::max(anchor, other);
    window.RefreshAll();
}

void SetOverlay(TForm1& window, int index)
{
    window.document().bank.sprites[index * kelmora::kSpriteBytes + kelmora::kAttributeByte] |=
        kelmora::kAttrOverlay;
}

// Runs ticks and returns the main window's current sprite after each one.
std::vector<int> Ticks(TFormAnim& animator, TForm1& window, int count)
{
    std::vector<int> shown;
    for (int i = 0; i < count; ++i)
    {
        animator.Timer1Timer();
        shown.push_back(window.document().bank.currentSprite);
        // A shown frame is always the whole one-sprite selection.
        if (window.document().bank.rangeStart != shown.back() ||
            window.document().bank.rangeEnd != shown.back())
            return {};
    }
    return shown;
}

void Steps(TUpDown* upDown, int direction, int count)
{
    for (int i = 0; i < count; ++i)
        upDown->step(direction);
}

} // namespace

class AnimatorTest : public QObject
{
    Q_OBJECT
  private slots:
    void controlsAtOpening();
    void loopsForwardsAndBackwards();
    void pingPongAndHolds();
    void overlayPairsPlayAsOneFrame();
    void onePairSelectionDoesNotPlay();
    void spinnersNeverCross();
    void stepsAndJumpsUseLatchedBounds();
    void pauseArmsAndHolds();
    void rateChangesWhileRunning();
    void turnStaysInsideTheFrames();
    void playbackStateStartsFreshEachOpening();
    void menuCommandPlacesPlaysAndRestores();
    void oneSpriteSelectionShowsHint();
};

void AnimatorTest::controlsAtOpening()
{
    auto window = uitest::NewWindow();
    Select(*window, 7, 3);
    TFormAnim animator(window->host(), window.get());

    QCOMPARE(animator.windowTitle(), QStringLiteral("Animator"));
    QCOMPARE(animator.size(), QSize(209, 415));
    QCOMPARE(animator.Edit1->text(), QStringLiteral("3"));
    QCOMPARE(animator.Edit2->text(), QStringLiteral("7"));
    QCOMPARE(animator.Edit3->text(), QStringLiteral("5"));
    QVERIFY(animator.Edit1->isReadOnly() && animator.Edit2->isReadOnly() && animator.Edit3->isReadOnly());
    QCOMPARE(animator.UpDown1->maximum(), 31); // the sprites in use
    QCOMPARE(animator.UpDown2->maximum(), 31);
    QCOMPARE(animator.UpDown3->minimum(), 1);
    QCOMPARE(animator.UpDown3->maximum(), 100);
    QVERIFY(animator.Hz25->isChecked());
    QCOMPARE(animator.Timer1->interval(), 40);
    QVERIFY(!animator.Timer1->isActive());

    // All eight buttons fit on the bar.
    animator.show();
    for (QAction* action : animator.ToolBar1->actions())
        QVERIFY2(animator.ToolBar1->widgetForAction(action)->isVisible(), qPrintable(action->objectName()));

    // The play buttons and Pause stay down; the others are plain buttons.
    QVERIFY(animator.Btn_Rev_Play->isCheckable() && animator.Btn_Pause->isCheckable() &&
            animator.Btn_Forw_Play->isCheckable() && !animator.Btn_Stop->isCheckable());

    // The hold options start usable though ping-pong is off; the check box switches them.
    QVERIFY(animator.HoldStart->isEnabled() && animator.HoldEnd->isEnabled() &&
            animator.UpDown3->isEnabled());
    animator.PingPong->click();
    QVERIFY(animator.HoldStart->isEnabled() && animator.Edit3->isEnabled());
    animator.PingPong->click();
    QVERIFY(!animator.HoldStart->isEnabled() && !animator.HoldEnd->isEnabled() &&
            !animator.Edit3->isEnabled() && !animator.UpDown3->isEnabled());

    // Set-up changes nothing in the main window.
    QCOMPARE(window->document().bank.currentSprite, 7);
    QCOMPARE(window->document().bank.rangeStart, 3);
    QCOMPARE(window->document().bank.rangeEnd, 7);
}

void AnimatorTest::loopsForwardsAndBackwards()
{
    auto window = uitest::NewWindow();
    window->document().bank.sprites[5 * 64] = 0x55; // something to draw
    Select(*window, 3, 7);
    const std::vector<kelmora::u8> before(window->document().bank.sprites,
                                          window->document().bank.sprites + kelmora::kBlockBytes);
    const int undoPosition = kelmora::HistoryPosition(window->document().history);
    TFormAnim animator(window->host(), window.get());

    animator.Btn_Forw_Play->trigger();
    QVERIFY(animator.Timer1->isActive());
    QVERIFY(animator.Btn_Forw_Play->isChecked());
    QCOMPARE(window->document().bank.currentSprite, 3); // the first frame waits for the first tick
    // Only Stop and Pause stay usable while playing.
    QVERIFY(!animator.Btn_Forw_Step->isEnabled() && !animator.Btn_Rev_Max->isEnabled() &&
            !animator.Btn_Rev_Play->isEnabled() && !animator.UpDown1->isEnabled() &&
            !animator.Edit2->isEnabled());
    QVERIFY(animator.Btn_Stop->isEnabled() && animator.Btn_Pause->isEnabled());

    QCOMPARE(Ticks(animator, *window, 8), (std::vector<int>{3, 4, 5, 6, 7, 3, 4, 5}));
    QCOMPARE(uitest::Child<QLabel>(*window, "Label1")->text().trimmed(), QStringLiteral("005"));

    // Stop shows the first frame and gives the controls back.
    animator.Btn_StopClick();
    QCOMPARE(window->document().bank.currentSprite, 3);
    QVERIFY(!animator.Timer1->isActive());
    QVERIFY(!animator.Btn_Forw_Play->isChecked() && animator.Btn_Forw_Step->isEnabled() &&
            animator.UpDown1->isEnabled() && animator.Edit2->isEnabled());

    animator.Btn_Rev_Play->trigger();
    QVERIFY(animator.Btn_Rev_Play->isChecked() && !animator.Btn_Forw_Play->isChecked());
    QCOMPARE(Ticks(animator, *window, 7), (std::vector<int>{7, 6, 5, 4, 3, 7, 6}));
    animator.Btn_Stop->trigger();
    QCOMPARE(window->document().bank.currentSprite, 3);

    // Playing touched neither the sprites nor the undo history.
    QVERIFY(std::equal(before.begin(), before.end(), window->document().bank.sprites));
    QCOMPARE(kelmora::HistoryPosition(window->document().history), undoPosition);
}

void AnimatorTest::pingPongAndHolds()
{
    auto window = uitest::NewWindow();
    Select(*window, 3, 7);
    TFormAnim animator(window->host(), window.get());
    animator.PingPong->click();

    // Without holds each turning frame is shown once.
    animator.Btn_Forw_Play->trigger();
    QCOMPARE(Ticks(animator, *window, 5), (std::vector<int>{3, 4, 5, 6, 7}));
    QVERIFY(animator.Btn_Rev_Play->isChecked() && !animator.Btn_Forw_Play->isChecked());
    QCOMPARE(Ticks(animator, *window, 7), (std::vector<int>{6, 5, 4, 3, 4, 5, 6}));
    QVERIFY(!animator.Btn_Rev_Play->isChecked() && animator.Btn_Forw_Play->isChecked());
    animator.Btn_Stop->trigger();

    // Hold End Frame at interval 5: frame 7 stays for six ticks.
    animator.HoldEnd->click();
    animator.Btn_Forw_Play->trigger();
    QCOMPARE(Ticks(animator, *window, 16),
             (std::vector<int>{3, 4, 5, 6, 7, 7, 7, 7, 7, 7, 6, 5, 4, 3, 4, 5}));

    // Stopped in the middle of a hold, the next run still shows its first frame at once.
    animator.Btn_Stop->trigger();
    animator.Btn_Forw_Play->trigger();
    Ticks(animator, *window, 5);
    animator.Btn_Stop->trigger();
    animator.Btn_Forw_Play->trigger();
    QCOMPARE(Ticks(animator, *window, 1), (std::vector<int>{3}));
    animator.Btn_Stop->trigger();

    // Hold Start Frame at interval 1: frame 3 stays for two ticks; the end turns at once.
    animator.HoldEnd->click();
    animator.HoldStart->click();
    Steps(animator.UpDown3, -1, 4);
    QCOMPARE(animator.Edit3->text(), QStringLiteral("1"));
    animator.Btn_Forw_Play->trigger();
    QCOMPARE(Ticks(animator, *window, 12), (std::vector<int>{3, 4, 5, 6, 7, 6, 5, 4, 3, 3, 4, 5}));
}

void AnimatorTest::overlayPairsPlayAsOneFrame()
{
    auto window = uitest::NewWindow();
    SetOverlay(*window, 4);
    // Sprite 5, drawn over sprite 4, is solid multi-colour 2.
    for (int i = 0; i < kelmora::kPixelBytes; ++i)
        window->document().bank.sprites[5 * 64 + i] = 0xFF;
    Select(*window, 3, 7);
    QVERIFY(!uitest::Child<QCheckBox>(*window, "Chk_OverlayNext")->isChecked());
    TFormAnim animator(window->host(), window.get());

    animator.Btn_Forw_Play->trigger();
    animator.Timer1Timer();
    const unsigned transparent =
        window->host().viewColours()[window->document().bank.colourTransp] & 0xFFFFFFu;
    const unsigned multi2 = window->host().viewColours()[window->document().bank.colourMulti2] & 0xFFFFFFu;
    QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Preview"), 12, 12), transparent);
    animator.Timer1Timer();
    QCOMPARE(window->document().bank.currentSprite, 4);
    // The pair is drawn as one frame in the preview and the editor.
    QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Preview"), 12, 12), multi2);
    QCOMPARE(uitest::Rgb(uitest::Shown(*window, "PaintBox_Editor"), 20, 20), multi2);
    QCOMPARE(Ticks(animator, *window, 5), (std::vector<int>{6, 7, 3, 4, 6}));
    animator.Btn_Stop->trigger();

    animator.Btn_Rev_Play->trigger();
    QCOMPARE(Ticks(animator, *window, 6), (std::vector<int>{7, 6, 4, 3, 7, 6}));
    animator.Btn_Stop->trigger();

    // Ping-pong turns skip the partner sprite as well.
    animator.PingPong->click();
    animator.Btn_Forw_Play->trigger();
    QCOMPARE(Ticks(animator, *window, 8), (std::vector<int>{3, 4, 6, 7, 6, 4, 3, 4}));
    animator.Btn_Stop->trigger();

    // Steps skip it too.
    animator.Btn_Forw_StepClick();
    QCOMPARE(window->document().bank.currentSprite, 4);
    animator.Btn_Forw_StepClick();
    QCOMPARE(window->document().bank.currentSprite, 6);
    animator.Btn_Rev_StepClick();
    QCOMPARE(window->document().bank.currentSprite, 4);

    // A bound on the second sprite of a pair moves to the first.
    Select(*window, 5, 9);
    TFormAnim second(window->host(), window.get());
    QCOMPARE(second.Edit1->text(), QStringLiteral("4"));
    QCOMPARE(second.Edit2->text(), QStringLiteral("9"));
}

void AnimatorTest::onePairSelectionDoesNotPlay()
{
    auto window = uitest::NewWindow();
    SetOverlay(*window, 5);
    Select(*window, 5, 6);
    TFormAnim animator(window->host(), window.get());
    QCOMPARE(animator.Edit1->text(), QStringLiteral("5"));
    QCOMPARE(animator.Edit2->text(), QStringLiteral("5"));

    animator.Btn_Forw_Play->trigger();
    QVERIFY(!animator.Timer1->isActive());
    QVERIFY(!animator.Playing);
    QVERIFY(!animator.Btn_Forw_Play->isChecked()); // not left down as if playing
    QVERIFY(animator.Btn_Forw_Step->isEnabled());
    animator.Btn_Rev_Play->trigger();
    QVERIFY(!animator.Timer1->isActive() && !animator.Btn_Rev_Play->isChecked());
    QCOMPARE(window->document().bank.currentSprite, 5);
    QCOMPARE(window->document().bank.rangeEnd, 6);
}

void AnimatorTest::spinnersNeverCross()
{
    auto window = uitest::NewWindow();
    Select(*window, 3, 7);
    TFormAnim animator(window->host(), window.get());

    Steps(animator.UpDown2, +1, 3);
    Steps(animator.UpDown1, +1, 6);
    QCOMPARE(animator.Edit1->text(), QStringLiteral("9"));
    QCOMPARE(animator.Edit2->text(), QStringLiteral("10"));
    animator.UpDown1->step(+1); // allowed: start may reach the end
    QCOMPARE(animator.Edit1->text(), QStringLiteral("10"));
    animator.UpDown1->step(+1); // refused
    QCOMPARE(animator.Edit1->text(), QStringLiteral("10"));
    animator.UpDown2->step(-1); // refused
    QCOMPARE(animator.Edit2->text(), QStringLiteral("10"));

    // Equal bounds: Play starts nothing.
    animator.Btn_Forw_Play->trigger();
    QVERIFY(!animator.Timer1->isActive());

    // The end stops at the last sprite in use, the start at 0; downward steps of the
    // start and upward steps of the end are free.
    Steps(animator.UpDown2, +1, 40);
    QCOMPARE(animator.Edit2->text(), QStringLiteral("31"));
    Steps(animator.UpDown1, -1, 20);
    QCOMPARE(animator.Edit1->text(), QStringLiteral("0"));

    // The edit boxes take no typing.
    animator.show();
    QTest::keyClicks(animator.Edit1, QStringLiteral("7"));
    QCOMPARE(animator.Edit1->text(), QStringLiteral("0"));
}

void AnimatorTest::stepsAndJumpsUseLatchedBounds()
{
    auto window = uitest::NewWindow();
    Select(*window, 3, 7);
    TFormAnim animator(window->host(), window.get());

    std::vector<int> shown;
    for (int i = 0; i < 6; ++i)
    {
        animator.Btn_Forw_Step->trigger();
        shown.push_back(window->document().bank.currentSprite);
    }
    QCOMPARE(shown, (std::vector<int>{4, 5, 6, 7, 7, 7}));
    shown.clear();
    for (int i = 0; i < 6; ++i)
    {
        animator.Btn_Rev_Step->trigger();
        shown.push_back(window->document().bank.currentSprite);
    }
    QCOMPARE(shown, (std::vector<int>{6, 5, 4, 3, 3, 3}));

    // New spinner values count only once Play is pressed.
    Steps(animator.UpDown1, -1, 2);
    Steps(animator.UpDown2, +1, 2);
    animator.Btn_Forw_Max->trigger();
    QCOMPARE(window->document().bank.currentSprite, 7);
    animator.Btn_Forw_Step->trigger();
    QCOMPARE(window->document().bank.currentSprite, 7);
    animator.Btn_Rev_Max->trigger();
    QCOMPARE(window->document().bank.currentSprite, 3);
    animator.Btn_Rev_Step->trigger();
    QCOMPARE(window->document().bank.currentSprite, 3);

    animator.Btn_Forw_Play->trigger();
    QCOMPARE(Ticks(animator, *window, 10), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 1}));
    animator.Btn_Stop->trigger();
    QCOMPARE(window->document().bank.currentSprite, 1);
    animator.Btn_Forw_Max->trigger();
    QCOMPARE(window->document().bank.currentSprite, 9);
}

void AnimatorTest::pauseArmsAndHolds()
{
    auto window = uitest::NewWindow();
    Select(*window, 7, 3);
    TFormAnim animator(window->host(), window.get());

    // Pressed while idle, Pause only arms: Play then starts nothing visible yet.
    animator.Btn_Pause->trigger();
    QVERIFY(animator.Btn_Pause->isChecked() && !animator.Timer1->isActive());
    QCOMPARE(window->document().bank.currentSprite, 7);
    animator.Btn_Forw_Play->trigger();
    QVERIFY(!animator.Timer1->isActive());
    QVERIFY(!animator.Btn_Forw_Step->isEnabled());

    // Releasing it starts the run and shows the frame due next.
    animator.Btn_Pause->trigger();
    QVERIFY(animator.Timer1->isActive());
    QCOMPARE(window->document().bank.currentSprite, 3);
    QCOMPARE(Ticks(animator, *window, 3), (std::vector<int>{3, 4, 5}));

    // Pressed while running, it stops the timer and shows the frame the next tick would have.
    animator.Btn_Pause->trigger();
    QVERIFY(!animator.Timer1->isActive());
    QCOMPARE(window->document().bank.currentSprite, 6);
    animator.Btn_Pause->trigger();
    QVERIFY(animator.Timer1->isActive());
    QCOMPARE(Ticks(animator, *window, 3), (std::vector<int>{6, 7, 3}));

    // Stop releases Pause as well.
    animator.Btn_Pause->trigger();
    animator.Btn_Stop->trigger();
    QVERIFY(!animator.Btn_Pause->isChecked() && !animator.Timer1->isActive());
    animator.Btn_Pause->trigger();
    animator.Btn_Pause->trigger();
    QVERIFY(!animator.Timer1->isActive()); // not playing: releasing starts nothing
}

void AnimatorTest::rateChangesWhileRunning()
{
    auto window = uitest::NewWindow();
    Select(*window, 3, 7);
    TFormAnim animator(window->host(), window.get());
    animator.show();

    animator.Btn_Forw_Play->trigger();
    const std::pair<QRadioButton*, int> rates[] = {{animator.Hz6, 160},
                                                   {animator.Hz12, 80},
                                                   {animator.Hz50, 20},
                                                   {animator.Hz25, 40},
                                                   {animator.RadioButton1, 1}};
    for (const auto& [radio, interval] : rates)
    {
        QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(8, radio->height() / 2));
        QVERIFY(radio->isChecked());
        QCOMPARE(animator.Timer1->interval(), interval);
        QVERIFY(animator.Timer1->isActive());
    }

    // At the fastest rate the frames really run by on their own.
    QSet<int> seen;
    connect(animator.Timer1, &QTimer::timeout, &animator,
            [&] { seen.insert(window->document().bank.currentSprite); });
    QTRY_VERIFY_WITH_TIMEOUT(seen.size() == 5, 3000);
    QCOMPARE(seen, (QSet<int>{3, 4, 5, 6, 7}));
    animator.Button1->click();
}

void AnimatorTest::turnStaysInsideTheFrames()
{
    auto window = uitest::NewWindow();
    uitest::SetQuantity(*window, 256);
    QCOMPARE(window->document().bank.spriteCount, 256);

    // A flagged start frame with the end right after it: turning at the start would
    // skip past the end, and at 254/255 past the last slot.
    for (const int start : {10, 254})
    {
        SetOverlay(*window, start);
        Select(*window, start - 4, start - 2);
        TFormAnim animator(window->host(), window.get());
        animator.PingPong->click();
        Steps(animator.UpDown2, +1, 3);
        Steps(animator.UpDown1, +1, 4);
        QCOMPARE(animator.Edit1->text(), QString::number(start));
        QCOMPARE(animator.Edit2->text(), QString::number(start + 1));
        for (const bool holdEnd : {false, true})
        {
            if (holdEnd) animator.HoldEnd->click();
            animator.Btn_Forw_Play->trigger();
            const std::vector<int> shown = Ticks(animator, *window, 30);
            QCOMPARE(int(shown.size()), 30);
            for (int frame : shown)
                QVERIFY2(frame == start || frame == start + 1, qPrintable(QString::number(frame)));
            animator.Btn_Stop->trigger();
        }
        // A forward step from the flagged start skips its partner; past the last slot
        // the last sprite is shown instead.
        animator.Btn_Forw_Step->trigger();
        QCOMPARE(window->document().bank.currentSprite, start + 1 == 255 ? 255 : start + 2);
    }

    // Frames are also kept inside the sprites in use when the selection reaches past them.
    uitest::SetQuantity(*window, 32);
    window->document().bank.rangeStart = 28;
    window->document().bank.rangeEnd = 40;
    window->document().bank.currentSprite = 28;
    TFormAnim animator(window->host(), window.get());
    QCOMPARE(animator.Edit2->text(), QStringLiteral("31"));
    animator.Btn_Forw_Max->trigger();
    QCOMPARE(window->document().bank.currentSprite, 31);
}

void AnimatorTest::playbackStateStartsFreshEachOpening()
{
    auto window = uitest::NewWindow();
    Select(*window, 3, 7);
    {
        TFormAnim first(window->host(), window.get());
        first.PingPong->click();
        first.HoldEnd->click();
        first.Btn_Forw_Play->trigger();
        Ticks(first, *window, 6); // turned at 7, hold pending, playing backwards
        QVERIFY(first.Playing && first.State.holdCount > 0 &&
                first.State.direction == kelmora::AnimationDirection::Backward);
    }
    TFormAnim again(window->host(), window.get());
    QVERIFY(!again.Playing);
    QCOMPARE(again.State.holdCount, 0);
    QVERIFY(again.State.direction == kelmora::AnimationDirection::Forward);
    again.Btn_Pause->trigger();
    again.Btn_Pause->trigger();
    QVERIFY(!again.Timer1->isActive());
}

void AnimatorTest::menuCommandPlacesPlaysAndRestores()
{
    auto window = uitest::NewWindow();
    SetOverlay(*window, 4);
    Select(*window, 7, 3);
    QCOMPARE(uitest::Child<QLabel>(*window, "Label1")->text().trimmed(), QStringLiteral("007"));

    // Close button.
    bool placedRight = false;
    bool flat = false;
    std::vector<int> shown;
    bool overlayShownDuringPlay = false;
    uitest::WhenModal(
        [&](QWidget* modal)
        {
            auto* animator = qobject_cast<TFormAnim*>(modal);
            if (!animator)
            {
                modal->close();
                return;
            }
            // 3 pixels right of the main window, frame to frame.
            const QRect owner = window->frameGeometry();
            placedRight = uitest::PlacedAt(animator, QPoint(owner.left() + owner.width() + 3, owner.top()));
            flat = animator->ToolBar1->property("flat").toBool();
            animator->Btn_Forw_Play->trigger();
            shown = Ticks(*animator, *window, 3);
            overlayShownDuringPlay = uitest::Child<QCheckBox>(*window, "Chk_OverlayNext")->isChecked();
            animator->Button1->click();
        });
    uitest::Child<QAction>(*window, "Mnu_Animator")->trigger();
    QVERIFY(placedRight);
    QVERIFY(flat);
    QCOMPARE(shown, (std::vector<int>{3, 4, 6}));
    QVERIFY(!overlayShownDuringPlay); // frame 6 shown last
    QCOMPARE(window->document().bank.currentSprite, 7);
    QCOMPARE(window->document().bank.rangeStart, 3);
    QCOMPARE(window->document().bank.rangeEnd, 7);
    QCOMPARE(uitest::Child<QLabel>(*window, "Label1")->text().trimmed(), QStringLiteral("007"));
    QVERIFY(!window->findChild<TFormAnim*>());

    // Close box, with the raised tool bar look; closing while a frame of the pair is
    // shown leaves the main window's check box on the restored sprite again.
    uitest::Child<QAction>(*window, "Mnu_ToolBar_Raised")->trigger();
    uitest::WhenModal(
        [&](QWidget* modal)
        {
            auto* animator = qobject_cast<TFormAnim*>(modal);
            if (!animator)
            {
                modal->close();
                return;
            }
            flat = animator->ToolBar1->property("flat").toBool();
            animator->Btn_Forw_Play->trigger();
            shown = Ticks(*animator, *window, 2);
            overlayShownDuringPlay = uitest::Child<QCheckBox>(*window, "Chk_OverlayNext")->isChecked();
            animator->close();
        });
    uitest::Child<QAction>(*window, "Mnu_Animator")->trigger();
    QVERIFY(!flat);
    QCOMPARE(shown, (std::vector<int>{3, 4}));
    QVERIFY(overlayShownDuringPlay);
    QVERIFY(!uitest::Child<QCheckBox>(*window, "Chk_OverlayNext")->isChecked());
    QCOMPARE(window->document().bank.currentSprite, 7);
    QCOMPARE(window->document().bank.rangeStart, 3);
    QCOMPARE(window->document().bank.rangeEnd, 7);
    QCOMPARE(uitest::Child<QLabel>(*window, "Label1")->text().trimmed(), QStringLiteral("007"));

    // Escape, while running.
    bool wasRunning = false;
    bool timerStopped = false;
    uitest::WhenModal(
        [&](QWidget* modal)
        {
            auto* animator = qobject_cast<TFormAnim*>(modal);
            if (!animator)
            {
                modal->close();
                return;
            }
            animator->Btn_Forw_Play->trigger();
            Ticks(*animator, *window, 1);
            wasRunning = animator->Timer1->isActive();
            QTest::keyClick(animator, Qt::Key_Escape);
            timerStopped = !animator->Timer1->isActive();
        });
    uitest::Child<QAction>(*window, "Mnu_Animator")->trigger();
    QVERIFY(wasRunning && timerStopped);
    QCOMPARE(window->document().bank.currentSprite, 7);
    QCOMPARE(window->document().bank.rangeStart, 3);
    QCOMPARE(window->document().bank.rangeEnd, 7);
}

void AnimatorTest::oneSpriteSelectionShowsHint()
{
    auto window = uitest::NewWindow();
    Select(*window, 6, 6);
    uitest::ClearLastMessage();
    // Anything but the message box would be closed unanswered, leaving no message.
    uitest::AnswerMessage(QStringLiteral("OK"));
    uitest::Child<QAction>(*window, "Mnu_Animator")->trigger();
    QCOMPARE(uitest::LastMessage().title, QStringLiteral("Hint..."));
    QCOMPARE(uitest::LastMessage().text,
             QStringLiteral("First select a range using SHIFT and Left Mouse Button."));
    QVERIFY(!window->findChild<TFormAnim*>());
    QCOMPARE(window->document().bank.currentSprite, 6);
    QCOMPARE(window->document().bank.rangeStart, 6);
    QCOMPARE(window->document().bank.rangeEnd, 6);
}

QTEST_MAIN(AnimatorTest)
#include "animator_test.moc"
