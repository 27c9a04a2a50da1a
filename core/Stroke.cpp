// Brush stamps and continuous strokes.
#include "core/Stroke.h"

#include <cstdlib>

#include "core/Pixels.h"

namespace kelmora
{

namespace
{

// The brush's pixels relative to its centre, in the order they are written.
constexpr int kPlusX[] = {0, 1, -1, 0, 0};
constexpr int kPlusY[] = {0, 0, 0, 1, -1};

bool WithinLimit(int v)
{
    return v >= -kStrokeCoordinateLimit && v <= kStrokeCoordinateLimit;
}

// Calls visit(x, y) for every pixel of the line, first end first.
template <class Visit> bool WalkLine(int x0, int y0, int x1, int y1, Visit visit)
{
    if (!WithinLimit(x0) || !WithinLimit(y0) || !WithinLimit(x1) || !WithinLimit(y1)) return false;
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int stepX = x0 < x1 ? 1 : -1;
    const int stepY = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    int x = x0;
    int y = y0;
    for (;;)
    {
        visit(x, y);
        if (x == x1 && y == y1) break;
        const int twice = 2 * error;
        if (twice >= dy)
        {
            error += dy;
            x += stepX;
        }
        if (twice <= dx)
        {
            error += dx;
            y += stepY;
        }
    }
    return true;
}

} // namespace

std::vector<PixelPoint> LinePixels(int x0, int y0, int x1, int y1)
{
    std::vector<PixelPoint> points;
    WalkLine(x0, y0, x1, y1, [&points](int x, int y) { points.push_back({x, y}); });
    return points;
}

int StampBrush(u8* block, int index, int x, int y, int value, int brush)
{
    if (block == nullptr || !ValidSlot(index) || value < 0 || value > 3) return 0;
    if (brush != kBrushDot && brush != kBrushPlus) return 0;
    const int points = brush == kBrushPlus ? 5 : 1;
    int written = 0;
    for (int p = 0; p < points; ++p)
        written += SetPixel(block, index, x + kPlusX[p], y + kPlusY[p], value);
    return written;
}

int StampLine(u8* block, int index, int x0, int y0, int x1, int y1, int value, int brush)
{
    int written = 0;
    WalkLine(x0, y0, x1, y1, [&](int x, int y) { written += StampBrush(block, index, x, y, value, brush); });
    return written;
}

} // namespace kelmora
