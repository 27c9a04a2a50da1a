// Fitting windows laid out at fixed places to the font and scale they are shown with.
// A window is placed as it was designed; these helpers then let each control grow to
// the size its caption needs and move the controls after it by as much as it grew, so
// the design's layout is kept wherever the captions fit and nothing is cut where not.
#pragma once

#include <QColor>
#include <QList>

class QGroupBox;
class QPalette;
class QWidget;

namespace fit
{

// Space a group box keeps below its last row of controls once the rows have grown.
constexpr int kRowsMargin = 6;

// The first pixel right of and below the control, in its parent's coordinates.
int Right(const QWidget* control);
int Bottom(const QWidget* control);

// Grows the control to its size hint where the hint is larger; never shrinks it.
void Grow(QWidget* control);
// Grows the control's height to its size hint and returns the first pixel below it.
int GrowHeight(QWidget* control);

// Moves the control down, when it starts less than gap pixels below above, to start
// exactly gap pixels below it. Returns the first pixel below the control.
int KeepBelow(QWidget* control, int above, int gap);

// Lays out captioned controls (radio buttons, check boxes) as rows of a group box: each
// grows to its size hint, the first row starts at the row top the design gives or below
// the box's title when that is taller, and the rows keep at least the design's pitch.
// Returns the first pixel below the last visible row.
int StackRows(QGroupBox* box, const QList<QWidget*>& rows, int firstTop, int pitch);

// The pixel inside the group box below which its title is drawn.
int TitleBottom(const QGroupBox* box);

// The text colour of a warning on the window's background: red, brighter on a dark
// background so it reads there as well.
QColor WarningColour(const QPalette& palette);

} // namespace fit
