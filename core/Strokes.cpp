// Lines and rectangles on a pixel grid, clipped to a box.
#include "core/Strokes.h"

#include <algorithm>
#include <cstdint>

namespace kelmora
{

namespace
{

constexpr std::int64_t kCoordinateLimit = std::int64_t{1} << 24;

std::int64_t Limited(int value)
{
    return std::clamp<std::int64_t>(value, -kCoordinateLimit, kCoordinateLimit);
}

bool Inside(const GridBox& box, std::int64_t x, std::int64_t y)
{
    return x >= box.left && x <= box.right && y >= box.top && y <= box.bottom;
}

} // namespace

void AppendLinePoints(GridPoint from, GridPoint to, const GridBox& clip, std::vector<GridPoint>& points)
{
    if (clip.left > clip.right || clip.top > clip.bottom) return;
    const std::int64_t x0 = Limited(from.x), y0 = Limited(from.y);
    const std::int64_t dx = Limited(to.x) - x0, dy = Limited(to.y) - y0;
    // Walk the longer axis (major) one pixel a step; the other (minor) follows, rounded.
    const bool alongX = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    const std::int64_t major0 = alongX ? x0 : y0, minor0 = alongX ? y0 : x0;
    const std::int64_t majorDelta = alongX ? dx : dy, minorDelta = alongX ? dy : dx;
    const std::int64_t steps = majorDelta < 0 ? -majorDelta : majorDelta;
    const std::int64_t minorSteps = minorDelta < 0 ? -minorDelta : minorDelta;
    const int majorSign = majorDelta < 0 ? -1 : 1, minorSign = minorDelta < 0 ? -1 : 1;

    // Only the steps whose major coordinate lies inside the clip are visited.
    const std::int64_t low = alongX ? clip.left : clip.top, high = alongX ? clip.right : clip.bottom;
    std::int64_t first = majorSign > 0 ? low - major0 : major0 - high;
    std::int64_t last = majorSign > 0 ? high - major0 : major0 - low;
    first = std::max<std::int64_t>(first, 0);
    last = std::min(last, steps);
    for (std::int64_t i = first; i <= last; ++i)
    {
        const std::int64_t minorOffset = steps == 0 ? 0 : (2 * i * minorSteps + steps) / (2 * steps);
        const std::int64_t major = major0 + majorSign * i;
        const std::int64_t minor = minor0 + minorSign * minorOffset;
        const std::int64_t x = alongX ? major : minor, y = alongX ? minor : major;
        if (Inside(clip, x, y)) points.push_back({static_cast<int>(x), static_cast<int>(y)});
    }
}

void AppendRectanglePoints(GridPoint a, GridPoint b, bool filled, const GridBox& clip,
                           std::vector<GridPoint>& points)
{
    const int left = std::min(a.x, b.x), right = std::max(a.x, b.x);
    const int top = std::min(a.y, b.y), bottom = std::max(a.y, b.y);
    const int fromX = std::max(left, clip.left), toX = std::min(right, clip.right);
    const int fromY = std::max(top, clip.top), toY = std::min(bottom, clip.bottom);
    for (int y = fromY; y <= toY; ++y)
    {
        if (filled || y == top || y == bottom)
        {
            for (int x = fromX; x <= toX; ++x)
                points.push_back({x, y});
            continue;
        }
        // A row between the top and bottom edges: its two ends only.
        if (left >= clip.left && left <= clip.right) points.push_back({left, y});
        if (right != left && right >= clip.left && right <= clip.right) points.push_back({right, y});
    }
}

} // namespace kelmora
