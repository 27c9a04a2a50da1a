// Whole-object commands: slides with wrap-around across the whole object, flips and
// mirrors of the whole picture, negative and clear, copy and paste of a rectangle of
// the picture, and splitting a five-colour picture into the object's two layers.
//
// Each command works on both layers alike. Flips and mirrors move whole sprites
// between cells (a flip left to right of a 3 x 2 object flips every sprite and swaps
// the outer columns), and a sprite's attribute byte moves with its pixels, except the
// overlay flag, which stays with its slot. They return false, changing nothing, when the
// object is not editable with distinct slots (ObjectEditable(object, spriteCount, true)):
// a slot in two cells would be changed twice.
#pragma once

#include <vector>

#include "core/Objects.h"
#include "core/OverlaySplit.h"

namespace kelmora
{

// Every row or column of picture pixels moves one step; the one pushed out comes back
// on the other side of the whole object. Left and right move by one double-wide pixel
// (two bits) when any sprite of the object is multicolour, so no pixel is split, else
// by one hires pixel.
bool SlideObjectUp(SpriteBank& bank, const SpriteObject& object);
bool SlideObjectDown(SpriteBank& bank, const SpriteObject& object);
bool SlideObjectLeft(SpriteBank& bank, const SpriteObject& object);
bool SlideObjectRight(SpriteBank& bank, const SpriteObject& object);
bool FlipObjectLeftRight(SpriteBank& bank, const SpriteObject& object);
bool FlipObjectTopBottom(SpriteBank& bank, const SpriteObject& object);
// The right half becomes the mirror image of the left half (the middle column of
// cells of an odd grid mirrors within itself).
bool MirrorObjectLeftHalf(SpriteBank& bank, const SpriteObject& object);
// The bottom half becomes the mirror image of the top half.
bool MirrorObjectTopHalf(SpriteBank& bank, const SpriteObject& object);
// Every pixel byte of every sprite of the object inverted, or set to 0.
bool NegateObject(SpriteBank& bank, const SpriteObject& object);
bool ClearObject(SpriteBank& bank, const SpriteObject& object);

// A rectangle of an object's picture: the value of both layers at every picture pixel
// (row by row), so it pastes into any object. `overlay` is empty when the object it was
// copied from has no overlay layer.
struct ObjectClip
{
    int left = 0; // where it was copied from, after snapping
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<u8> underlay; // values 0..3
    std::vector<u8> overlay;  // values 0..3, or empty
};

// Copies the rectangle at (x, y) of width x height picture pixels, kept within the
// picture; an edge that falls inside a double-wide pixel of either layer moves out to
// take the whole pixel. An empty clip when the object is not editable or nothing is left.
ObjectClip CopyObjectArea(const SpriteBank& bank, const SpriteObject& object, int x, int y, int width,
                          int height);
// Pastes a clip with its top-left corner at picture point (x, y); an x inside a
// double-wide pixel moves left to its start. Both layers of the covered area take the
// clip's values (overlay pixels are cleared where the clip has no overlay layer; a clip's
// overlay pixels are dropped by an object without one). A double-wide pixel takes its
// left picture pixel's value, or its right one's when the left is 0; a hires pixel is set
// for any value other than 0. The part outside the picture is dropped. Returns how many
// sprite pixels changed (0 when the object is not editable).
int PasteObjectArea(SpriteBank& bank, const SpriteObject& object, const ObjectClip& clip, int x, int y);

// "Split into overlay pair": turns a picture of colour numbers (ObjectPictureWidth x
// ObjectPictureHeight, row by row, such as ObjectPictureColours gives) into the object's
// two layers with SplitOverlayPixels, cell by cell: every cell's sprite becomes
// multicolour of underlayColour (-1: each keeps its own colour) and every overlay sprite
// hires of overlayColour; a cell whose overlay cell is its next slot gets the overlay
// flag. Returns how many picture pixels the pair shows in another colour, or -1, changing
// nothing, when the object has no overlay layer, is not editable with distinct slots, the
// picture has the wrong size or a colour is outside 0..15.
int SplitObjectIntoOverlayPair(SpriteBank& bank, const SpriteObject& object, const std::vector<int>& colours,
                               int underlayColour, int overlayColour);

} // namespace kelmora
