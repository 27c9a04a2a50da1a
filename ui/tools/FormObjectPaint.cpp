// The object editor's canvas: the picture, tools and pens, strokes across the seams of
// the cells, zoom and the status bar.
#include "ui/tools/FormObject.h"

#include <QAction>
#include <QCursor>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>

#include <algorithm>
#include <array>
#include <cstring>

#include "core/SpriteBankStore.h"
#include "ui/EditorHost.h"
#include "ui/tools/ObjectCanvas.h"

using namespace kelmora;

namespace
{

// The zoom steps of Zoom In and Zoom Out and of the wheel.
constexpr std::array<int, 9> kZoomSteps = {2, 3, 4, 6, 8, 12, 16, 24, 32};

// Where cells whose sprite is not in use show: nothing is drawn there.
constexpr std::uint32_t kUnusedCell = 0xFF202020u;

// How much of the overlay's colour a dimmed overlay keeps, in 256ths.
constexpr int kDimWeight = 96;

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, int weightOfA)
{
    std::uint32_t out = 0xFF000000u;
    for (int shift : {0, 8, 16})
    {
        const int ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        out |= static_cast<std::uint32_t>((ca * weightOfA + cb * (256 - weightOfA)) >> 8) << shift;
    }
    return out;
}

QIcon Swatch(QRgb colour)
{
    QIcon icon;
    for (int size : {16, 32, 48})
    {
        QPixmap pixmap(size, size);
        pixmap.fill(QColor::fromRgb(colour));
        QPainter painter(&pixmap);
        painter.setPen(QColor(0x60, 0x60, 0x60));
        painter.drawRect(0, 0, size - 1, size - 1);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

bool Multicolour(const u8* block, int slot)
{
    return IsMulticolour(block, slot) == 1;
}

} // namespace

// ---- The picture ----

void TFormObject::RefreshPicture()
{
    const SpriteObject* object = Object();
    const SpriteBank& bank = m_host.document().bank;
    if (object == nullptr || !ObjectProblem(*object).empty())
    {
        QImage blank(kSpriteWidth, kSpriteHeight, QImage::Format_RGB32);
        blank.fill(QColor::fromRgb(kUnusedCell));
        Canvas_Object->setPicture(blank);
        Canvas_Object->setCells(1, 1, {1});
        return;
    }
    QImage image(ObjectPictureWidth(*object), ObjectPictureHeight(*object), QImage::Format_RGB32);
    image.fill(QColor::fromRgb(kUnusedCell));
    auto* pixels = reinterpret_cast<std::uint32_t*>(image.bits());
    const int stride = static_cast<int>(image.bytesPerLine() / 4);
    const std::uint32_t* colours = m_host.viewColours();
    const RenderColours base{
        {bank.colourTransp, bank.colourMulti1, bank.colourSprite, bank.colourMulti2}, colours, colours};
    RenderObjectLayer(bank, *object, kUnderlayLayer, base, 0, pixels, stride);
    if (!Mnu_ObjHideOverlay->isChecked())
    {
        if (Mnu_ObjDimOverlay->isChecked())
        {
            // The overlay's colours faded towards the background.
            std::uint32_t dimmed[kPaletteColours];
            for (int i = 0; i < kPaletteColours; ++i)
                dimmed[i] = Mix(colours[i], colours[bank.colourTransp & kAttrColourMask], kDimWeight);
            const RenderColours faint{base.fields[0], base.fields[1], base.fields[2],
                                      base.fields[3], dimmed,         dimmed};
            RenderObjectLayer(bank, *object, kOverlayLayer, faint, 0, pixels, stride);
        }
        else
            RenderObjectLayer(bank, *object, kOverlayLayer, base, 0, pixels, stride);
    }
    Canvas_Object->setPicture(image);

    std::vector<int> widths;
    for (int slot : object->cells)
        widths.push_back(Multicolour(bank.sprites, slot) ? 2 : 1);
    Canvas_Object->setCells(object->columns, object->rows, widths);
}

// ---- Pens and tools ----

void TFormObject::RefreshPens()
{
    const SpriteObject* object = Object();
    const SpriteBank& bank = m_host.document().bank;
    const std::uint32_t* colours = m_host.viewColours();
    bool multicolour = false;
    int spriteColour = bank.colourSprite, overlayColour = 1;
    if (object != nullptr && ObjectProblem(*object).empty())
    {
        for (int slot : object->cells)
            multicolour |= Multicolour(bank.sprites, slot);
        spriteColour = GetSpriteColour(bank.sprites, object->cells.front());
        if (HasOverlayLayer(*object))
            overlayColour = GetSpriteColour(bank.sprites, object->overlayCells.front());
    }
    const bool overlay = object != nullptr && HasOverlayLayer(*object);
    const struct
    {
        QAction* action;
        int colour;
        bool offered;
    } pens[] = {{Btn_ObjPenTransp, bank.colourTransp, true},
                {Btn_ObjPenSprite, spriteColour, true},
                {Btn_ObjPenMulti1, bank.colourMulti1, multicolour},
                {Btn_ObjPenMulti2, bank.colourMulti2, multicolour},
                {Btn_ObjPenOverlay, overlayColour, overlay}};
    for (const auto& pen : pens)
    {
        const QRgb rgb = colours[pen.colour & kAttrColourMask];
        // The swatch is drawn again only when its colour changed.
        if (pen.action->data().toUInt() != rgb || pen.action->icon().isNull())
        {
            pen.action->setIcon(Swatch(rgb));
            pen.action->setData(rgb);
        }
        pen.action->setVisible(pen.offered);
    }
    // A pen the object cannot paint with gives way to the sprite colour.
    if ((!multicolour && (m_pen == 1 || m_pen == 3)) || (!overlay && m_pen == kOverlayPen)) SelectPen(2);
}

void TFormObject::SelectPen(int pen)
{
    QAction* action = pen == 0             ? Btn_ObjPenTransp
                      : pen == 1           ? Btn_ObjPenMulti1
                      : pen == 3           ? Btn_ObjPenMulti2
                      : pen == kOverlayPen ? Btn_ObjPenOverlay
                                           : Btn_ObjPenSprite;
    if (!action->isVisible() && pen != 2 && pen != 0) action = Btn_ObjPenSprite;
    m_pen = action == Btn_ObjPenTransp    ? 0
            : action == Btn_ObjPenMulti1  ? 1
            : action == Btn_ObjPenMulti2  ? 3
            : action == Btn_ObjPenOverlay ? kOverlayPen
                                          : 2;
    action->setChecked(true);
}

void TFormObject::SelectTool(Tool tool)
{
    m_tool = tool;
    QAction* action = tool == Tool::Brush2            ? Btn_ObjBrush2
                      : tool == Tool::FloodFill       ? Btn_ObjFlood
                      : tool == Tool::Line            ? Btn_ObjLine
                      : tool == Tool::Rectangle       ? Btn_ObjRectangle
                      : tool == Tool::FilledRectangle ? Btn_ObjFilledRectangle
                      : tool == Tool::Select          ? Btn_ObjSelect
                                                      : Btn_ObjBrush1;
    action->setChecked(true);
    Canvas_Object->setCursor(Qt::CrossCursor);
}

void TFormObject::AdoptMainTool()
{
    // What the user chose in the main window since this window last looked counts here too.
    const TEditorHost::Tool mainTool = m_host.currentTool();
    if (static_cast<int>(mainTool) != m_mainToolSeen)
    {
        m_mainToolSeen = static_cast<int>(mainTool);
        SelectTool(mainTool == TEditorHost::Tool::Brush2      ? Tool::Brush2
                   : mainTool == TEditorHost::Tool::FloodFill ? Tool::FloodFill
                                                              : Tool::Brush1);
    }
    const int mainPen = m_host.document().bank.currentPen;
    if (mainPen != m_mainPenSeen)
    {
        m_mainPenSeen = mainPen;
        SelectPen(mainPen);
    }
}

// ---- Strokes ----

QPoint TFormObject::PictureAt(QPoint canvasPoint) const
{
    return Canvas_Object->pictureAt(canvasPoint);
}

bool TFormObject::Paintable()
{
    const SpriteObject* object = Object();
    if (object == nullptr) return false;
    const int count = m_host.document().bank.spriteCount;
    if (ObjectEditable(*object, count)) return true;
    std::string problem = ObjectProblem(*object);
    if (problem.empty()) problem = ObjectUseProblem(*object, count);
    ShowStatus(QString::fromStdString(problem) +
               QStringLiteral(" Raise Quantity in the main window to paint it."));
    return false;
}

int TFormObject::PaintStrokeTo(QPoint to)
{
    SpriteBank& bank = m_host.document().bank;
    const SpriteObject& object = *Object();
    const int pen = m_stroke.pen;
    switch (m_tool)
    {
    case Tool::Brush1:
    case Tool::Brush2:
    {
        const Brush brush = m_tool == Tool::Brush2 ? Brush::Plus : Brush::Dot;
        const int changed =
            PaintObjectLine(bank, object, m_stroke.last.x(), m_stroke.last.y(), to.x(), to.y(), pen, brush);
        m_stroke.last = to;
        return changed;
    }
    case Tool::Line:
    case Tool::Rectangle:
    case Tool::FilledRectangle:
    {
        // The shape from the press to the pointer, drawn again over the sprites as they
        // were at the press.
        std::memcpy(bank.sprites, m_stroke.before.data(), m_stroke.before.size());
        const QPoint from = m_stroke.start;
        if (m_tool == Tool::Line)
            PaintObjectLine(bank, object, from.x(), from.y(), to.x(), to.y(), pen, Brush::Dot);
        else
            PaintObjectRectangle(bank, object, from.x(), from.y(), to.x(), to.y(), pen,
                                 m_tool == Tool::FilledRectangle, Brush::Dot);
        m_stroke.last = to;
        return 1;
    }
    default:
        return 0;
    }
}

void TFormObject::Canvas_MouseDown(Qt::MouseButton button, Qt::MouseButtons, Qt::KeyboardModifiers, QPoint at)
{
    if (m_stroke.active || (button != Qt::LeftButton && button != Qt::RightButton)) return;
    const SpriteObject* object = Object();
    if (object == nullptr) return;
    const QPoint p = PictureAt(at);
    m_stroke = Stroke();
    m_stroke.active = true;
    m_stroke.button = button;
    m_stroke.start = m_stroke.last = p;

    if (m_tool == Tool::Select)
    {
        const QRect picture(0, 0, ObjectPictureWidth(*object), ObjectPictureHeight(*object));
        m_selection = QRect(p, p) & picture;
        Canvas_Object->setSelection(m_selection);
        return;
    }
    if (!Paintable())
    {
        m_stroke.active = false;
        return;
    }
    // The right button paints transparent, which also clears the overlay pixels it covers.
    m_stroke.pen = button == Qt::LeftButton ? m_pen : 0;
    SpriteBank& bank = m_host.document().bank;
    m_stroke.before.assign(bank.sprites, bank.sprites + kBlockBytes);
    const int changed =
        m_tool == Tool::FloodFill ? FillObject(bank, *object, p.x(), p.y(), m_stroke.pen) : PaintStrokeTo(p);
    if (changed > 0)
    {
        // The main window follows at once; the undo step is recorded at the release.
        m_changing = true;
        RefreshPicture();
        m_host.documentChanged(false);
        m_changing = false;
    }
    ShowPointer(p);
}

void TFormObject::Canvas_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, QPoint at)
{
    const QPoint p = PictureAt(at);
    ShowPointer(p);
    if (!m_stroke.active || p == m_stroke.last || Object() == nullptr) return;
    if (m_tool == Tool::Select)
    {
        const SpriteObject& object = *Object();
        m_stroke.last = p;
        m_selection = QRect(m_stroke.start, p).normalized() &
                      QRect(0, 0, ObjectPictureWidth(object), ObjectPictureHeight(object));
        Canvas_Object->setSelection(m_selection);
        return;
    }
    if (m_tool == Tool::FloodFill) return;
    if (PaintStrokeTo(p) > 0)
    {
        m_changing = true;
        RefreshPicture();
        m_host.documentChanged(false);
        m_changing = false;
    }
}

void TFormObject::Canvas_MouseUp(Qt::MouseButton button, Qt::MouseButtons, Qt::KeyboardModifiers, QPoint)
{
    if (!m_stroke.active || button != m_stroke.button) return;
    m_stroke.active = false;
    if (m_tool == Tool::Select)
    {
        RefreshActions();
        if (!m_selection.isEmpty())
            ShowStatus(QStringLiteral("Selected %1 x %2 pixels at (%3, %4)")
                           .arg(m_selection.width())
                           .arg(m_selection.height())
                           .arg(m_selection.x())
                           .arg(m_selection.y()));
        return;
    }
    // The press, its drag and this release are one undo step when they changed anything.
    const SpriteBank& bank = m_host.document().bank;
    const bool changed = !m_stroke.before.empty() &&
                         std::memcmp(bank.sprites, m_stroke.before.data(), m_stroke.before.size()) != 0;
    m_stroke.before.clear();
    m_stroke.before.shrink_to_fit();
    if (changed) Changed(true);
}

void TFormObject::ShowPointer(QPoint p)
{
    const SpriteObject* object = Object();
    const SpriteBank& bank = m_host.document().bank;
    const int cell = object != nullptr ? ObjectCellAt(*object, p.x(), p.y()) : -1;
    if (cell < 0)
    {
        if (!m_stroke.active) StatusBar_Object->clearMessage();
        return;
    }
    const std::optional<CellPixel> under = CellPixelAt(bank.sprites, *object, kUnderlayLayer, p.x(), p.y());
    QString text =
        QStringLiteral("Cell (%1, %2): sprite %3").arg(cell % object->columns).arg(cell / object->columns);
    text = text.arg(under ? under->slot : -1);
    if (HasOverlayLayer(*object))
        text += QStringLiteral(" + overlay %1").arg(object->overlayCells[static_cast<std::size_t>(cell)]);
    if (under) text += QStringLiteral(", pixel (%1, %2)").arg(under->x).arg(under->y);
    text += QStringLiteral("  -  picture (%1, %2)").arg(p.x()).arg(p.y());
    if (StatusBar_Object->currentMessage() != text) StatusBar_Object->showMessage(text);
}

// ---- Zoom ----

int TFormObject::zoom() const
{
    return Canvas_Object->zoom();
}

QPoint TFormObject::PicturePointAt(QPoint viewportPoint) const
{
    return Canvas_Object->pictureAt(Canvas_Object->mapFrom(ScrollBox_Object->viewport(), viewportPoint));
}

void TFormObject::SetZoom(int zoom, QPoint anchor)
{
    const int old = Canvas_Object->zoom();
    zoom = std::clamp(zoom, TObjectCanvas::kMinZoom, TObjectCanvas::kMaxZoom);
    if (zoom != old)
    {
        // The point of the picture under the anchor, to the fraction of a pixel.
        const QPoint local = Canvas_Object->mapFrom(ScrollBox_Object->viewport(), anchor);
        const double x = static_cast<double>(local.x()) / old, y = static_cast<double>(local.y()) / old;
        Canvas_Object->setZoom(zoom);
        ScrollBox_Object->horizontalScrollBar()->setValue(static_cast<int>(x * zoom - anchor.x() + 0.5));
        ScrollBox_Object->verticalScrollBar()->setValue(static_cast<int>(y * zoom - anchor.y() + 0.5));
    }
    Label_Zoom->setText(QStringLiteral("%1x").arg(zoom));
}

void TFormObject::ZoomStep(int direction, QPoint anchor)
{
    const int now = zoom();
    int next = now;
    if (direction > 0)
    {
        const auto it = std::upper_bound(kZoomSteps.begin(), kZoomSteps.end(), now);
        next = it == kZoomSteps.end() ? kZoomSteps.back() : *it;
    }
    else
    {
        const auto it = std::lower_bound(kZoomSteps.begin(), kZoomSteps.end(), now);
        next = it == kZoomSteps.begin() ? kZoomSteps.front() : *(it - 1);
    }
    SetZoom(next, anchor);
}

QPoint TFormObject::ZoomAnchor() const
{
    const QWidget* view = ScrollBox_Object->viewport();
    const QPoint pointer = view->mapFromGlobal(QCursor::pos());
    return view->rect().contains(pointer) ? pointer : view->rect().center();
}

void TFormObject::Canvas_ZoomWheel(int notches, QPoint at)
{
    const QPoint anchor = Canvas_Object->mapTo(ScrollBox_Object->viewport(), at);
    for (int k = 0; k < std::abs(notches); ++k)
        ZoomStep(notches > 0 ? 1 : -1, anchor);
}

void TFormObject::Mnu_ObjZoomInClick()
{
    ZoomStep(1, ZoomAnchor());
}

void TFormObject::Mnu_ObjZoomOutClick()
{
    ZoomStep(-1, ZoomAnchor());
}

void TFormObject::Mnu_ObjFitClick()
{
    const QSize picture = Canvas_Object->picture().size();
    const QSize room = ScrollBox_Object->maximumViewportSize();
    const int fit =
        std::min(room.width() / std::max(1, picture.width()), room.height() / std::max(1, picture.height()));
    SetZoom(fit, ScrollBox_Object->viewport()->rect().center());
}

void TFormObject::Mnu_ObjViewOptionClick()
{
    Canvas_Object->setGridShown(Mnu_ObjGrid->isChecked());
    Canvas_Object->setBordersShown(Mnu_ObjBorders->isChecked());
    RefreshPicture();
}
