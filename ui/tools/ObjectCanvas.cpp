// The object editor's canvas.
#include "ui/tools/ObjectCanvas.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <QWheelEvent>

#include <algorithm>
#include <cstring>

#include "core/Types.h"

namespace
{

int FloorDiv(int value, int divisor)
{
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

// A grid line over a pixel: halfway to mid grey, so it shows on black and on white.
inline std::uint32_t GridShade(std::uint32_t pixel)
{
    return 0xFF000000u | (((pixel & 0xFEFEFEu) >> 1) + 0x404040u);
}

} // namespace

TObjectCanvas::TObjectCanvas(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    m_picture = QImage(kelmora::kSpriteWidth, kelmora::kSpriteHeight, QImage::Format_RGB32);
    m_picture.fill(Qt::black);
    m_borderColour = palette().color(QPalette::Highlight);
    Relayout();
}

void TObjectCanvas::Relayout()
{
    const QSize size = m_picture.size() * m_zoom;
    if (this->size() != size) resize(size);
    setFixedSize(size);
}

void TObjectCanvas::setPicture(const QImage& picture)
{
    if (picture.size() != m_picture.size())
    {
        m_picture = picture.convertToFormat(QImage::Format_RGB32);
        Relayout();
        update();
        return;
    }
    // The rows and columns that differ bound what is repainted.
    int top = -1, bottom = -1, left = m_picture.width(), right = -1;
    for (int y = 0; y < m_picture.height(); ++y)
    {
        const auto* was = reinterpret_cast<const std::uint32_t*>(m_picture.constScanLine(y));
        const auto* now = reinterpret_cast<const std::uint32_t*>(picture.constScanLine(y));
        if (std::memcmp(was, now, static_cast<std::size_t>(m_picture.width()) * 4) == 0) continue;
        if (top < 0) top = y;
        bottom = y;
        int x = 0;
        while (x < left && was[x] == now[x])
            ++x;
        left = std::min(left, x);
        x = m_picture.width() - 1;
        while (x > right && was[x] == now[x])
            --x;
        right = std::max(right, x);
    }
    if (top < 0) return;
    m_picture = picture;
    update(canvasRect(QRect(QPoint(left, top), QPoint(right, bottom))));
}

void TObjectCanvas::setZoom(int zoom)
{
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    if (zoom == m_zoom) return;
    m_zoom = zoom;
    Relayout();
    update();
}

void TObjectCanvas::setCells(int columns, int rows, const std::vector<int>& pixelWidths)
{
    if (columns == m_columns && rows == m_rows && pixelWidths == m_pixelWidths) return;
    m_columns = std::max(1, columns);
    m_rows = std::max(1, rows);
    m_pixelWidths = pixelWidths;
    update();
}

void TObjectCanvas::setGridShown(bool shown)
{
    if (shown == m_grid) return;
    m_grid = shown;
    update();
}

void TObjectCanvas::setBordersShown(bool shown)
{
    if (shown == m_borders) return;
    m_borders = shown;
    update();
}

void TObjectCanvas::setSelection(const QRect& selection)
{
    const QRect normal = selection.normalized();
    if (normal == m_selection) return;
    // The outline is drawn just inside the selection's squares.
    if (!m_selection.isEmpty()) update(canvasRect(m_selection));
    m_selection = normal;
    if (!m_selection.isEmpty()) update(canvasRect(m_selection));
}

QPoint TObjectCanvas::pictureAt(QPoint point) const
{
    return QPoint(FloorDiv(point.x(), m_zoom), FloorDiv(point.y(), m_zoom));
}

QRect TObjectCanvas::canvasRect(const QRect& pictureRect) const
{
    return QRect(pictureRect.topLeft() * m_zoom, pictureRect.size() * m_zoom);
}

void TObjectCanvas::Compose(const QRect& area)
{
    if (m_buffer.width() < area.width() || m_buffer.height() < area.height())
        m_buffer = QImage(std::max(m_buffer.width(), area.width()),
                          std::max(m_buffer.height(), area.height()), QImage::Format_RGB32);
    const int zoom = m_zoom;
    const int cellWidth = kelmora::kSpriteWidth, cellHeight = kelmora::kSpriteHeight;
    const bool grid = m_grid && zoom >= 4;
    const std::uint32_t border = m_borderColour.rgb() | 0xFF000000u;
    const int bordersWide = zoom >= 8 ? 2 : 1;

    // A row of the area inside a pixel row, off the grid and border lines, is the same
    // as the first such row of that pixel row: it is copied from there.
    int cleanSourceRow = -1;
    const std::uint32_t* cleanRow = nullptr;
    for (int y = 0; y < area.height(); ++y)
    {
        const int canvasY = area.top() + y;
        const int sourceRow = canvasY / zoom;
        const bool lineRow = grid && canvasY % zoom == 0;
        const bool borderRow = m_borders && sourceRow > 0 && canvasY % (cellHeight * zoom) < bordersWide;
        auto* row = reinterpret_cast<std::uint32_t*>(m_buffer.scanLine(y));
        if (borderRow)
        {
            std::fill(row, row + area.width(), border);
            continue;
        }
        if (!lineRow && sourceRow == cleanSourceRow)
        {
            std::memcpy(row, cleanRow, static_cast<std::size_t>(area.width()) * 4);
            continue;
        }
        const auto* source = reinterpret_cast<const std::uint32_t*>(m_picture.constScanLine(sourceRow));
        for (int x = 0; x < area.width();)
        {
            const int canvasX = area.left() + x;
            const int run = std::min(zoom - canvasX % zoom, area.width() - x);
            std::fill(row + x, row + x + run, source[canvasX / zoom]);
            x += run;
        }
        if (grid)
        {
            const int cellRow = (sourceRow / cellHeight) * m_columns;
            for (int x = 0; x < area.width(); ++x)
            {
                const int canvasX = area.left() + x;
                const int pictureX = canvasX / zoom;
                const int cell = cellRow + pictureX / cellWidth;
                const int unit = cell < static_cast<int>(m_pixelWidths.size()) ? m_pixelWidths[cell] : 1;
                if (lineRow || (canvasX % zoom == 0 && (pictureX % cellWidth) % unit == 0))
                    row[x] = GridShade(row[x]);
            }
        }
        if (m_borders)
            for (int x = 0; x < area.width(); ++x)
            {
                const int canvasX = area.left() + x;
                if (canvasX >= cellWidth * zoom && canvasX % (cellWidth * zoom) < bordersWide)
                    row[x] = border;
            }
        if (!lineRow)
        {
            cleanSourceRow = sourceRow;
            cleanRow = row;
        }
    }
}

void TObjectCanvas::paintEvent(QPaintEvent* event)
{
    const QRect area = event->rect() & rect();
    if (area.isEmpty()) return;
    Compose(area);
    QPainter painter(this);
    painter.drawImage(area.topLeft(), m_buffer, QRect(QPoint(0, 0), area.size()));
    if (!m_selection.isEmpty())
    {
        // A dashed outline on a solid one, readable on any colour.
        const QRect outline = canvasRect(m_selection).adjusted(0, 0, -1, -1);
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(outline);
        painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
        painter.drawRect(outline);
    }
}

void TObjectCanvas::mousePressEvent(QMouseEvent* event)
{
    emit mouseDown(event->button(), event->buttons(), event->modifiers(), event->position().toPoint());
}

void TObjectCanvas::mouseMoveEvent(QMouseEvent* event)
{
    emit mouseMove(event->buttons(), event->modifiers(), event->position().toPoint());
}

void TObjectCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    emit mouseUp(event->button(), event->buttons(), event->modifiers(), event->position().toPoint());
}

void TObjectCanvas::wheelEvent(QWheelEvent* event)
{
    if (!event->modifiers().testFlag(Qt::ControlModifier))
    {
        // The view around the canvas scrolls.
        event->ignore();
        return;
    }
    constexpr int kNotch = 120;
    m_wheelEighths += event->angleDelta().y();
    const int notches = m_wheelEighths / kNotch;
    m_wheelEighths -= notches * kNotch;
    event->accept();
    if (notches != 0) emit zoomWheel(notches, event->position().toPoint());
}

void TObjectCanvas::leaveEvent(QEvent* event)
{
    emit pointerLeft();
    QWidget::leaveEvent(event);
}

void TObjectCanvas::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
    {
        m_borderColour = palette().color(QPalette::Highlight);
        update();
    }
    QWidget::changeEvent(event);
}
