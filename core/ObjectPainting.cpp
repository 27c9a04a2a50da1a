// Brushes, lines, rectangles and the flood fill on an object's picture.
#include "core/ObjectPainting.h"

#include <vector>

#include "core/Pixels.h"

namespace kelmora
{

namespace
{

bool Multicolour(const u8* block, int slot)
{
    return (block[slot * kSpriteBytes + kAttributeByte] & kAttrMulticolour) != 0;
}

int FloorDiv(int value, int divisor)
{
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

// Writes pixels of one object and counts those that changed.
class Painter
{
  public:
    Painter(SpriteBank& bank, const SpriteObject& object, int pen)
        : bank_(bank), object_(object), pen_(pen),
          usable_(ObjectEditable(object, bank.spriteCount) && bank.sprites != nullptr &&
                  ((pen >= 0 && pen <= 3) || (pen == kOverlayPen && HasOverlayLayer(object))))
    {
    }

    bool usable() const { return usable_; }
    int changed() const { return changed_; }
    int layer() const { return pen_ == kOverlayPen ? kOverlayLayer : kUnderlayLayer; }

    // The width in picture pixels of one step of a line: 2 when every sprite of the
    // pen's layer is multicolour, else 1.
    int lineUnit() const
    {
        const std::vector<int>& cells = layer() == kOverlayLayer ? object_.overlayCells : object_.cells;
        for (int slot : cells)
            if (!Multicolour(bank_.sprites, slot)) return 1;
        return 2;
    }

    // The pen at the sprite pixel under picture point (px, py); a pen 0..3 first clears
    // the overlay pixels that sprite pixel covers.
    void paint(int px, int py)
    {
        if (pen_ == kOverlayPen)
        {
            if (const auto over = CellPixelAt(bank_.sprites, object_, kOverlayLayer, px, py)) write(*over, 2);
            return;
        }
        const auto under = CellPixelAt(bank_.sprites, object_, kUnderlayLayer, px, py);
        if (!under || (pen_ % 2 == 1 && !Multicolour(bank_.sprites, under->slot))) return;
        if (HasOverlayLayer(object_))
        {
            const auto span =
                PictureSpanOf(bank_.sprites, object_, kUnderlayLayer, under->cell, under->x, under->y);
            for (int k = 0; k < span->width; ++k)
                if (const auto over = CellPixelAt(bank_.sprites, object_, kOverlayLayer, span->x + k, py))
                    write(*over, 0);
        }
        write(*under, pen_);
    }

    // The pen at one picture pixel of a filled region that read `target`: an overlay
    // pixel there is cleared before the cell's pixel takes a pen 0..3.
    void fill(int px, int py, int target)
    {
        if (pen_ == kOverlayPen)
        {
            paint(px, py);
            return;
        }
        const auto under = CellPixelAt(bank_.sprites, object_, kUnderlayLayer, px, py);
        if (!under || (pen_ % 2 == 1 && !Multicolour(bank_.sprites, under->slot))) return;
        if (target >= kOverlayValueBase)
            if (const auto over = CellPixelAt(bank_.sprites, object_, kOverlayLayer, px, py)) write(*over, 0);
        write(*under, pen_);
    }

    // The brush centred on picture point (px, py); the plus reaches one sprite pixel of
    // the centre's width to the right and left, and one row up and down.
    void stamp(int px, int py, Brush brush, int unit)
    {
        paint(px, py);
        if (brush != Brush::Plus) return;
        int left = px, width = unit;
        if (const auto centre = CellPixelAt(bank_.sprites, object_, layer(), px, py))
        {
            const auto span =
                PictureSpanOf(bank_.sprites, object_, layer(), centre->cell, centre->x, centre->y);
            left = span->x;
            width = span->width;
        }
        paint(left + width, py);
        paint(left - 1, py);
        paint(px, py + 1);
        paint(px, py - 1);
    }

  private:
    void write(const CellPixel& at, int value)
    {
        const int before = GetPixel(bank_.sprites, at.slot, at.x, at.y);
        if (before < 0) return;
        const int after = Multicolour(bank_.sprites, at.slot) ? value : (value != 0 ? 2 : 0);
        if (before == after) return;
        SetPixel(bank_.sprites, at.slot, at.x, at.y, after);
        ++changed_;
    }

    SpriteBank& bank_;
    const SpriteObject& object_;
    const int pen_;
    const bool usable_;
    int changed_ = 0;
};

// Stamps the brush at every grid point, a grid point (gx, gy) being picture point (gx x unit, gy).
int StampPoints(Painter& painter, const std::vector<GridPoint>& points, int unit, Brush brush)
{
    for (const GridPoint& p : points)
        painter.stamp(p.x * unit, p.y, brush, unit);
    return painter.changed();
}

// The grid points of the picture, with a margin of one for the plus brush.
GridBox GridOf(const SpriteObject& object, int unit)
{
    return {-1, -1, ObjectPictureWidth(object) / unit, ObjectPictureHeight(object)};
}

} // namespace

int PaintObjectBrush(SpriteBank& bank, const SpriteObject& object, int px, int py, int pen, Brush brush)
{
    Painter painter(bank, object, pen);
    if (!painter.usable()) return 0;
    painter.stamp(px, py, brush, painter.lineUnit());
    return painter.changed();
}

int PaintObjectLine(SpriteBank& bank, const SpriteObject& object, int x0, int y0, int x1, int y1, int pen,
                    Brush brush)
{
    Painter painter(bank, object, pen);
    if (!painter.usable()) return 0;
    const int unit = painter.lineUnit();
    std::vector<GridPoint> points;
    AppendLinePoints({FloorDiv(x0, unit), y0}, {FloorDiv(x1, unit), y1}, GridOf(object, unit), points);
    return StampPoints(painter, points, unit, brush);
}

int PaintObjectRectangle(SpriteBank& bank, const SpriteObject& object, int x0, int y0, int x1, int y1,
                         int pen, bool filled, Brush brush)
{
    Painter painter(bank, object, pen);
    if (!painter.usable()) return 0;
    const int unit = painter.lineUnit();
    std::vector<GridPoint> points;
    AppendRectanglePoints({FloorDiv(x0, unit), y0}, {FloorDiv(x1, unit), y1}, filled, GridOf(object, unit),
                          points);
    return StampPoints(painter, points, unit, brush);
}

int FillObject(SpriteBank& bank, const SpriteObject& object, int px, int py, int pen)
{
    Painter painter(bank, object, pen);
    if (!painter.usable()) return 0;
    const int width = ObjectPictureWidth(object), height = ObjectPictureHeight(object);
    if (px < 0 || py < 0 || px >= width || py >= height) return 0;
    const std::vector<int> values = ObjectPictureValues(bank, object);
    const int target = values[py * width + px];
    if (target < 0 || target == pen) return 0;

    // The region is found on the picture as it was, then painted.
    std::vector<bool> queued(values.size(), false);
    std::vector<int> stack{py * width + px}, region;
    queued[py * width + px] = true;
    while (!stack.empty())
    {
        const int at = stack.back();
        stack.pop_back();
        region.push_back(at);
        const int x = at % width, y = at / width;
        const int nx[4] = {x - 1, x + 1, x, x};
        const int ny[4] = {y, y, y - 1, y + 1};
        for (int k = 0; k < 4; ++k)
        {
            if (nx[k] < 0 || nx[k] >= width || ny[k] < 0 || ny[k] >= height) continue;
            const int next = ny[k] * width + nx[k];
            if (queued[next] || values[next] != target) continue;
            queued[next] = true;
            stack.push_back(next);
        }
    }
    for (int at : region)
        painter.fill(at % width, at / width, target);
    return painter.changed();
}

} // namespace kelmora
