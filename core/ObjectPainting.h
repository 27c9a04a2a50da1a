// Painting an object's picture across the seams of its cells: brushes, continuous
// strokes, lines, rectangles and the flood fill.
//
// Points are picture points in hires pixels (see Objects.h). A pen is a pixel value
// 0..3 written into the cells' own sprites, or kOverlayPen, which sets pixels of the
// overlay layer. Each cell is painted in its own mode: a multicolour cell's pixel is two
// picture pixels wide. A pen 0..3 also clears the overlay pixels its sprite pixel
// covers, so what it paints shows; kOverlayPen leaves the cells' sprites as they are.
// Multi-colour pens (1 and 3) leave hires cells alone, which cannot show them.
//
// Every function returns how many sprite pixels changed, and changes nothing (returning
// 0) when the object is not editable (ObjectEditable: sound, every sprite in use), the
// pen is outside 0..3, or it is kOverlayPen on an object without an overlay layer.
#pragma once

#include "core/Objects.h"
#include "core/Strokes.h"

namespace kelmora
{

// The brush stamped at picture point (px, py): Brush::Plus adds the sprite pixels just
// right and left of the centre's pixel and the ones above and below, in whichever cells
// they lie.
int PaintObjectBrush(SpriteBank& bank, const SpriteObject& object, int px, int py, int pen, Brush brush);

// A continuous stroke or a straight line: the brush stamped at every pixel of the line
// between the two picture points, both included. The line runs over sprite pixels: in
// double-wide pixels when every sprite of the layer the pen paints is multicolour, in
// hires pixels otherwise.
int PaintObjectLine(SpriteBank& bank, const SpriteObject& object, int x0, int y0, int x1, int y1, int pen,
                    Brush brush);

// A rectangle with the corners (x0, y0) and (x1, y1), its outline or filled, over the
// same pixels as a line.
int PaintObjectRectangle(SpriteBank& bank, const SpriteObject& object, int x0, int y0, int x1, int y1,
                         int pen, bool filled, Brush brush);

// Flood fill on the composed picture: the four-way connected picture pixels that read
// the same value as (px, py) (ObjectPixelValue) take the pen, across cell borders.
// Nothing happens when the point already reads as the pen.
int FillObject(SpriteBank& bank, const SpriteObject& object, int px, int py, int pen);

} // namespace kelmora
