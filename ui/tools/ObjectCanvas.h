// The object editor's canvas: an object's picture enlarged zoom times, with the sprite
// pixel grid, the cell borders and the selection drawn over it. It draws only the part
// a paint event asks for, from the picture kept 1:1, so a stroke that changes a few
// pixels repaints a few squares.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QWidget>

#include <vector>

class TObjectCanvas : public QWidget
{
    Q_OBJECT
  public:
    static constexpr int kMinZoom = 2;
    static constexpr int kMaxZoom = 32;

    explicit TObjectCanvas(QWidget* parent = nullptr);

    // The picture 1:1 (RGB32). The canvas takes its size times the zoom and repaints
    // the squares of the pixels that differ from the picture shown before.
    void setPicture(const QImage& picture);
    const QImage& picture() const { return m_picture; }

    // Screen pixels a picture pixel takes, kMinZoom..kMaxZoom.
    void setZoom(int zoom);
    int zoom() const { return m_zoom; }

    // The grid: cells of 24 x 21 picture pixels, columns x rows of them, and the width
    // of a sprite pixel in each (2 in a multicolour cell), row by row.
    void setCells(int columns, int rows, const std::vector<int>& pixelWidths);
    void setGridShown(bool shown);
    void setBordersShown(bool shown);
    bool gridShown() const { return m_grid; }
    bool bordersShown() const { return m_borders; }
    // The selection in picture pixels; an empty one is not drawn.
    void setSelection(const QRect& selection);
    QRect selection() const { return m_selection; }

    // The picture pixel under a point of the canvas (outside the picture too: it may lie
    // left of or above it, negative).
    QPoint pictureAt(QPoint point) const;
    // The canvas rectangle of a rectangle of picture pixels.
    QRect canvasRect(const QRect& pictureRect) const;

  signals:
    void mouseDown(Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                   QPoint at);
    void mouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint at);
    void mouseUp(Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                 QPoint at);
    // The wheel turned with Ctrl held: whole notches, positive away from the user, at a
    // point of the canvas. Without Ctrl the wheel scrolls the view around the canvas.
    void zoomWheel(int notches, QPoint at);
    void pointerLeft();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // Draws the canvas rectangle area into m_buffer, grid and borders included.
    void Compose(const QRect& area);
    void Relayout();

    QImage m_picture; // 1:1
    QImage m_buffer;  // a painted area, reused
    int m_zoom = 8;
    int m_columns = 1;
    int m_rows = 1;
    std::vector<int> m_pixelWidths{1};
    bool m_grid = true;
    bool m_borders = true;
    QRect m_selection;
    QColor m_borderColour;
    int m_wheelEighths = 0;
};
