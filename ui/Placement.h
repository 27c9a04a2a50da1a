// Where the editor's windows open. The layout gives each window's place as an offset
// between window frames (title bar and border included, as the desktop draws them); a
// window that would then stand partly off the screen is moved onto it, only as far as
// needed to show all of it.
#pragma once

#include <QPoint>
#include <QRect>

class QWidget;

// frame moved inside area along the edges it crosses; a frame larger than the area keeps
// its left and top edges inside.
QRect KeepInside(QRect frame, const QRect& area);

// Places window, before it is shown, so that its frame's top-left corner is at frameTopLeft,
// moved onto owner's screen if needed. The frame's size is the window's size plus owner's
// frame margins once owner is shown (the desktop decorates both alike), and an estimate from
// the style before that.
void PlaceWindow(QWidget* window, const QWidget* owner, QPoint frameTopLeft);

// The frame position right beside owner: 3 pixels right of its frame, level with its top.
QPoint BesideRight(const QWidget* owner);
// The frame position of a dialog over owner: 80 pixels right of and 20 below its frame's corner.
QPoint OverCorner(const QWidget* owner);
