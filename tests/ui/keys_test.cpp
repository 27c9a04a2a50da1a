// Keys and the wheel move through the sprites as clicks in the browser do, the browser
// follows the current sprite, the quantity box keeps its keys, and the shortcuts users
// of other editors press work.
#include <QAction>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include <memory>

#include "UiTestSupport.h"
#include "ui/Form1.h"
#include "ui/Widgets.h"

namespace
{

struct Selection
{
    int current, start, end;
    bool operator==(const Selection& o) const
    {
        return current == o.current && start == o.start && end == o.end;
    }
};

Selection Selected(const TForm1& window)
{
    const kelmora::SpriteBank& bank = window.document().bank;
    return {bank.currentSprite, bank.rangeStart, bank.rangeEnd};
}

QString Text(const Selection& s)
{
    return QStringLiteral("current %1, %2..%3").arg(s.current).arg(s.start).arg(s.end);
}

int BrowserTop(const TForm1& window)
{
    return uitest::Child<QScrollBar>(window, "ScrollBar_Browser")->value();
}

// Clicks sprite index in the browser (Shift held when extend), scrolling it there first.
void Click(TForm1& window, int index, bool extend)
{
    auto* bar = uitest::Child<QScrollBar>(window, "ScrollBar_Browser");
    const int row = index / 8;
    if (row < bar->value() || row > bar->value() + 6) bar->setValue(std::min(row, bar->maximum()));
    const QPoint cell((index % 8) * 48 + 24, (row - bar->value()) * 42 + 21);
    QTest::mouseClick(uitest::Child<TPaintBox>(window, "PaintBox_Browser"), Qt::LeftButton,
                      extend ? Qt::ShiftModifier : Qt::NoModifier, cell);
}

void Press(TForm1& window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(&window, key, modifiers);
}

void Wheel(QWidget* view, int eighths, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QPointF at(view->width() / 2.0, view->height() / 2.0);
    QWheelEvent event(at, view->mapToGlobal(at), QPoint(), QPoint(0, eighths), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view, &event);
}

} // namespace

class KeysTest : public QObject
{
    Q_OBJECT

  private slots:
    void keysMoveAndSelectAsClicksDo()
    {
        auto clicked = uitest::NewWindow();
        uitest::SetQuantity(*clicked, 100);
        auto keyed = uitest::NewWindow(); // the active window: keys go here
        uitest::SetQuantity(*keyed, 100);

        struct Step
        {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            int times;
            int clickAt; // the click that does the same
            bool shiftClick;
        };
        const Step steps[] = {
            {Qt::Key_Right, Qt::NoModifier, 3, 3, false},
            {Qt::Key_Down, Qt::NoModifier, 1, 11, false},
            {Qt::Key_Right, Qt::ShiftModifier, 2, 13, true},
            {Qt::Key_Up, Qt::ShiftModifier, 1, 5, true},
            {Qt::Key_Left, Qt::ShiftModifier, 6, 0, true},
            {Qt::Key_PageDown, Qt::NoModifier, 1, 67, false},
            {Qt::Key_End, Qt::NoModifier, 1, 99, false},
            {Qt::Key_Down, Qt::NoModifier, 1, 99, false},
            {Qt::Key_PageUp, Qt::ShiftModifier, 1, 43, true},
            {Qt::Key_Home, Qt::NoModifier, 1, 0, false},
            {Qt::Key_Left, Qt::NoModifier, 1, 0, false},
            {Qt::Key_End, Qt::ShiftModifier, 1, 99, true},
        };
        for (const Step& step : steps)
        {
            for (int k = 0; k < step.times; ++k)
                Press(*keyed, step.key, step.modifiers);
            Click(*clicked, step.clickAt, step.shiftClick);
            QVERIFY2(Selected(*keyed) == Selected(*clicked),
                     qPrintable(Text(Selected(*keyed)) + QStringLiteral(" after keys, ") +
                                Text(Selected(*clicked)) + QStringLiteral(" after clicks")));
            // The browser shows the current sprite.
            const int row = keyed->document().bank.currentSprite / 8;
            QVERIFY(row >= BrowserTop(*keyed) && row <= BrowserTop(*keyed) + 6);
        }
    }

    void theQuantityBoxKeepsItsKeys()
    {
        auto window = uitest::NewWindow();
        uitest::Child<QScrollBar>(*window, "ScrollBar1")->setValue(5);
        auto* box = uitest::Child<QLineEdit>(*window, "Edit2");
        box->setFocus();
        QVERIFY(box->hasFocus());
        box->setCursorPosition(1);
        for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp,
                            Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End})
        {
            QTest::keyClick(box, key);
            QTest::keyClick(box, key, Qt::ShiftModifier);
            QCOMPARE(window->document().bank.currentSprite, 5);
        }
        // The caret moved as the keys say: End last.
        QCOMPARE(box->cursorPosition(), box->text().size());
        QTest::keyClick(box, Qt::Key_Home);
        QCOMPARE(box->cursorPosition(), 0);
        QCOMPARE(Selected(*window), (Selection{5, 5, 5}));
    }

    void theWheelScrollsTheBrowserAndStepsTheSprite()
    {
        auto window = uitest::NewWindow();
        uitest::SetQuantity(*window, 256);
        auto* browser = uitest::Child<TPaintBox>(*window, "PaintBox_Browser");
        Wheel(browser, -120); // one notch towards the user: a row down
        QCOMPARE(BrowserTop(*window), 1);
        Wheel(browser, -120, Qt::ControlModifier); // a page
        QCOMPARE(BrowserTop(*window), 8);
        Wheel(browser, 240);
        QCOMPARE(BrowserTop(*window), 6);
        QCOMPARE(window->document().bank.currentSprite, 0); // scrolling chooses nothing

        // Over the editor and the preview the wheel steps the current sprite as a click
        // would (the selection collapses), and the browser follows it.
        window->document().bank.rangeEnd = 4;
        auto* editor = uitest::Child<TPaintBox>(*window, "PaintBox_Editor");
        Wheel(editor, -120);
        QCOMPARE(Selected(*window), (Selection{1, 1, 1}));
        QCOMPARE(BrowserTop(*window), 0);
        for (int k = 0; k < 3; ++k)
            Wheel(editor, -40); // a touchpad's small steps make one notch
        QCOMPARE(window->document().bank.currentSprite, 2);
        Wheel(uitest::Child<TPaintBox>(*window, "PaintBox_Preview"), 120);
        QCOMPARE(window->document().bank.currentSprite, 1);
        Wheel(editor, 600); // never before the first sprite
        QCOMPARE(window->document().bank.currentSprite, 0);
    }

    void theBrowserFollowsTheCurrentSprite()
    {
        auto window = uitest::NewWindow();
        uitest::SetQuantity(*window, 256);
        uitest::Child<QScrollBar>(*window, "ScrollBar1")->setValue(200); // row 25
        QCOMPARE(BrowserTop(*window), 19);
        uitest::Child<QScrollBar>(*window, "ScrollBar1")->setValue(3);
        QCOMPARE(BrowserTop(*window), 0);
        // A refresh with the same current sprite leaves a browser the user scrolled alone.
        uitest::Child<QScrollBar>(*window, "ScrollBar_Browser")->setValue(10);
        window->RefreshAll();
        QCOMPARE(BrowserTop(*window), 10);
    }

    void redoAnswersTheKeysOfOtherEditorsAndTipsNameKeys()
    {
        auto window = uitest::NewWindow();
        const QByteArray before(reinterpret_cast<const char*>(window->document().bank.sprites), 64);
        window->Mnu_NegativeClick();
        const QByteArray negative(reinterpret_cast<const char*>(window->document().bank.sprites), 64);
        QVERIFY(negative != before);
        for (const QKeySequence& redo :
             {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
              QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Z)})
        {
            QTest::keySequence(window.get(), QKeySequence(Qt::CTRL | Qt::Key_Z));
            QCOMPARE(QByteArray(reinterpret_cast<const char*>(window->document().bank.sprites), 64), before);
            QTest::keySequence(window.get(), redo);
            QVERIFY2(QByteArray(reinterpret_cast<const char*>(window->document().bank.sprites), 64) ==
                         negative,
                     qPrintable(redo.toString()));
        }
        QCOMPARE(uitest::Child<QAction>(*window, "Mnu_Redo")->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Z)); // the one the menu shows

        const struct
        {
            const char* button;
            const char* tip;
        } tips[] = {{"Btn_Rotate", "Rotate (F9)"},
                    {"Btn_Anim", "Animate (F10)"},
                    {"Btn_Cut", "Cut (Ctrl+X)"},
                    {"Btn_Redo", "Redo (Ctrl+Alt+Z)"},
                    {"Btn_Brush1", "Paintbrush 1"}};
        for (const auto& t : tips)
            QCOMPARE(window->findChild<QToolButton*>(QString::fromLatin1(t.button))->toolTip(),
                     QString::fromLatin1(t.tip));
    }
};

QTEST_MAIN(KeysTest)
#include "keys_test.moc"
