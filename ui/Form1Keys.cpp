// Keys and the mouse wheel that move through the sprites, the browser following the
// current sprite, and the shortcuts users of other editors expect.
#include "ui/Form1.h"

#include <QAction>
#include <QLineEdit>
#include <QScrollBar>
#include <QToolBar>

#include <algorithm>

#include "ui/Widgets.h"

using namespace kelmora;

namespace
{

constexpr int kBrowserColumns = 8;
constexpr int kBrowserRows = 7;

} // namespace

void TForm1::CreateKeys()
{
    // Redo also answers the keys other editors use; the menu shows the first.
    Mnu_Redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y),
                            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});

    // A tool bar button's tip names its key: "Rotate (F9)".
    for (QAction* action : ToolBar1->actions())
    {
        if (action->shortcut().isEmpty()) continue;
        action->setToolTip(QStringLiteral("%1 (%2)").arg(
            action->toolTip(), action->shortcut().toString(QKeySequence::NativeText)));
    }

    // Keys that move through the sprites, alone and with Shift. They belong to the
    // window; the quantity box keeps the keys it edits with while it has the focus.
    const struct
    {
        const char* name;
        Qt::Key key;
    } moves[] = {{"Key_Left", Qt::Key_Left},     {"Key_Right", Qt::Key_Right},
                 {"Key_Up", Qt::Key_Up},         {"Key_Down", Qt::Key_Down},
                 {"Key_PageUp", Qt::Key_PageUp}, {"Key_PageDown", Qt::Key_PageDown},
                 {"Key_Home", Qt::Key_Home},     {"Key_End", Qt::Key_End}};
    for (const auto& move : moves)
    {
        for (const bool extend : {false, true})
        {
            auto* action = new QAction(this);
            action->setObjectName(QString::fromLatin1(move.name) +
                                  (extend ? QStringLiteral("_Shift") : QString()));
            action->setShortcut(extend ? QKeySequence(Qt::SHIFT | move.key) : QKeySequence(move.key));
            action->setShortcutContext(Qt::WindowShortcut);
            action->setAutoRepeat(true);
            const int key = move.key;
            connect(action, &QAction::triggered, this, [this, key, extend] { SpriteKey(key, extend); });
            addAction(action);
        }
    }

    connect(PaintBox_Browser, &TPaintBox::mouseWheel, this, &TForm1::PaintBox_BrowserMouseWheel);
    connect(PaintBox_Editor, &TPaintBox::mouseWheel, this, &TForm1::PaintBox_EditorMouseWheel);
    connect(PaintBox_Preview, &TPaintBox::mouseWheel, this, &TForm1::PaintBox_EditorMouseWheel);
    // Whatever changed the current sprite, the browser shows it.
    connect(&host(), &TEditorHost::viewsRefreshed, this, &TForm1::FollowCurrentSprite);
}

void TForm1::ChooseSprite(int index, bool extend)
{
    SpriteBank& bank = m_doc.bank;
    const int last = std::clamp(bank.spriteCount, 1, kSlotCount) - 1;
    index = std::clamp(index, 0, last);
    if (!extend)
    {
        bank.currentSprite = bank.rangeStart = bank.rangeEnd = index;
    }
    else if (index < bank.currentSprite)
    {
        // The current sprite stays and anchors the range.
        bank.rangeStart = index;
        bank.rangeEnd = bank.currentSprite;
    }
    else
    {
        bank.rangeStart = bank.currentSprite;
        bank.rangeEnd = index;
    }
    RefreshAll();
}

void TForm1::SpriteKey(int key, bool extend)
{
    // Typing in the quantity box moves nothing.
    if (Edit2->hasFocus()) return;
    const SpriteBank& bank = m_doc.bank;
    // A Shift key moves the far end of the selection, the one the current sprite is not.
    const int from = !extend                                 ? bank.currentSprite
                     : bank.rangeStart == bank.currentSprite ? bank.rangeEnd
                                                             : bank.rangeStart;
    const int page = kBrowserColumns * kBrowserRows;
    int to = from;
    switch (key)
    {
    case Qt::Key_Left:
        to = from - 1;
        break;
    case Qt::Key_Right:
        to = from + 1;
        break;
    case Qt::Key_Up:
        to = from - kBrowserColumns;
        break;
    case Qt::Key_Down:
        to = from + kBrowserColumns;
        break;
    case Qt::Key_PageUp:
        to = from - page;
        break;
    case Qt::Key_PageDown:
        to = from + page;
        break;
    case Qt::Key_Home:
        to = 0;
        break;
    case Qt::Key_End:
        to = kSlotCount;
        break;
    default:
        return;
    }
    ChooseSprite(to, extend);
}

void TForm1::PaintBox_BrowserMouseWheel(int notches, Qt::KeyboardModifiers modifiers)
{
    // A row a notch, a page with Ctrl; turning away from the user goes up.
    const int rows = modifiers.testFlag(Qt::ControlModifier) ? kBrowserRows : 1;
    ScrollBar_Browser->setValue(ScrollBar_Browser->value() - notches * rows);
}

void TForm1::PaintBox_EditorMouseWheel(int notches, Qt::KeyboardModifiers)
{
    // Away from the user: the sprite before; towards: the next one.
    ChooseSprite(m_doc.bank.currentSprite - notches, false);
}

void TForm1::FollowCurrentSprite()
{
    const int current = m_doc.bank.currentSprite;
    if (current == m_followedSprite) return;
    m_followedSprite = current;
    const int row = current / kBrowserColumns;
    const int top = ScrollBar_Browser->value();
    if (row < top)
        ScrollBar_Browser->setValue(row);
    else if (row >= top + kBrowserRows)
        ScrollBar_Browser->setValue(row - kBrowserRows + 1);
}
