// Splitting a five-colour picture into an overlay pair: a multicolour sprite (the
// background, the two shared multi-colours and its own colour, in double-wide pixels)
// with a hires sprite over it (its own colour, in hires pixels).
#pragma once

#include "core/Types.h"

namespace kelmora
{

// The five colour numbers (0..15) of an overlay pair.
struct OverlayPairColours
{
    int background;
    int multi1;
    int multi2;
    int underlay; // the multicolour sprite's own colour
    int overlay;  // the hires sprite's own colour
};

// Splits the 24 x 21 picture colours[y * stride + x] (colour numbers; any other number
// matches none of the five) into the 63 pixel bytes of the multicolour sprite and those
// of the hires sprite. Each double-wide pixel is solved on its own: of every choice of
// its multicolour value and its two hires bits, the one that shows the most picture
// pixels right, then the one with fewer hires bits set, then the lowest value. Returns
// how many picture pixels the pair shows in another colour (0: the picture is exact).
int SplitOverlayPixels(const int* colours, int stride, const OverlayPairColours& palette, u8* underlayPixels,
                       u8* overlayPixels);

} // namespace kelmora
