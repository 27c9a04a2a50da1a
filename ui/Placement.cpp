// Where the editor's windows open.
#include "ui/Placement.h"

#include <QLayout>
#include <QMargins>
#include <QScreen>
#include <QStyle>
#include <QWidget>

namespace
{

// What the desktop adds around owner's client area: measured once owner is on the screen,
// otherwise the style's title bar and frame as an estimate.
QMargins FrameMargins(const QWidget* owner)
{
    if (owner->isVisible())
    {
        const QRect frame = owner->frameGeometry();
        const QRect client = owner->geometry();
        return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                frame.bottom() - client.bottom()};
    }
    const int border = owner->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, owner);
    const int title = owner->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, owner);
    return {border, border + title, border, border};
}

} // namespace

QRect KeepInside(QRect frame, const QRect& area)
{
    if (frame.right() > area.right()) frame.moveRight(area.right());
    if (frame.bottom() > area.bottom()) frame.moveBottom(area.bottom());
    if (frame.left() < area.left()) frame.moveLeft(area.left());
    if (frame.top() < area.top()) frame.moveTop(area.top());
    return frame;
}

void PlaceWindow(QWidget* window, const QWidget* owner, QPoint frameTopLeft)
{
    // A window sized by its layout takes that size now, not when it is shown.
    if (window->layout()) window->layout()->activate();
    const QRect frame(frameTopLeft, window->size().grownBy(FrameMargins(owner)));
    const QScreen* screen = owner->screen();
    // Before it is shown, a window's position is that of its frame.
    window->move(screen ? KeepInside(frame, screen->availableGeometry()).topLeft() : frameTopLeft);
}

QPoint BesideRight(const QWidget* owner)
{
    const QRect frame = owner->frameGeometry();
    return {frame.left() + frame.width() + 3, frame.top()};
}

QPoint OverCorner(const QWidget* owner)
{
    return owner->frameGeometry().topLeft() + QPoint(80, 20);
}
