// Splitting a five-colour picture into a multicolour sprite and a hires sprite.
#include "core/OverlaySplit.h"

#include <cstring>

namespace kelmora
{

int SplitOverlayPixels(const int* colours, int stride, const OverlayPairColours& palette, u8* underlayPixels,
                       u8* overlayPixels)
{
    if (colours == nullptr || underlayPixels == nullptr || overlayPixels == nullptr) return 0;
    const int valueColour[4] = {palette.background, palette.multi1, palette.underlay, palette.multi2};
    std::memset(underlayPixels, 0, kPixelBytes);
    std::memset(overlayPixels, 0, kPixelBytes);
    int wrong = 0;
    for (int y = 0; y < kSpriteHeight; ++y)
    {
        for (int pair = 0; pair < kSpriteWidth / 2; ++pair)
        {
            const int wanted[2] = {colours[y * stride + 2 * pair], colours[y * stride + 2 * pair + 1]};
            int bestWrong = 3, bestBits = 3, bestValue = 0, bestMask = 0;
            for (int value = 0; value < 4; ++value)
            {
                for (int mask = 0; mask < 4; ++mask) // bit 0: the left pixel is an overlay pixel
                {
                    int missed = 0;
                    for (int k = 0; k < 2; ++k)
                    {
                        const int shown = (mask >> k) & 1 ? palette.overlay : valueColour[value];
                        missed += shown != wanted[k] ? 1 : 0;
                    }
                    const int bits = (mask & 1) + (mask >> 1);
                    if (missed < bestWrong || (missed == bestWrong && bits < bestBits))
                    {
                        bestWrong = missed;
                        bestBits = bits;
                        bestValue = value;
                        bestMask = mask;
                    }
                }
            }
            wrong += bestWrong;
            const int byte = 3 * y + pair / 4;
            const int shift = 6 - 2 * (pair % 4);
            underlayPixels[byte] = static_cast<u8>(underlayPixels[byte] | (bestValue << shift));
            // The left pixel of the pair is the higher of its two hires bits.
            const int hires = ((bestMask & 1) << 1) | (bestMask >> 1);
            overlayPixels[byte] = static_cast<u8>(overlayPixels[byte] | (hires << shift));
        }
    }
    return wrong;
}

} // namespace kelmora
