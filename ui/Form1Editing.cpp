// Mouse tools on the editor, pens, colour picking, browser selection and the two
// attribute check boxes.
#include "ui/Form1.h"

#include <QAction>
#include <QCheckBox>
#include <QScrollBar>
#include <QStatusBar>

#include <algorithm>
#include <cstdio>

#include "ui/Widgets.h"

using namespace kelmora;

namespace
{

constexpr int kEditorWidth = 192;
constexpr int kEditorHeight = 168;
constexpr int kEditorCell = 8; // screen pixels a hires sprite pixel (and a row) takes

constexpr int kBrowserWidth = 384;
constexpr int kBrowserHeight = 294;
constexpr int kBrowserCellWidth = 48;
constexpr int kBrowserCellHeight = 42;
constexpr int kBrowserColumns = 8;

constexpr int kCursorPaint = 0;
constexpr int kCursorFlood = 1;

u8& AttributeOf(u8* block, int index)
{
    return block[index * kSpriteBytes + kAttributeByte];
}

// The stored slots of the selected range (the range never leaves them, but a slot
// outside the block must never be touched).
int FirstSlot(const SpriteBank& bank)
{
    return std::max(0, bank.rangeStart);
}
int LastSlot(const SpriteBank& bank)
{
    return std::min(kSlotCount - 1, bank.rangeEnd);
}

// Sets the cursor only when another one is showing: pointer moves then cost nothing.
void ShowCursor(QWidget* widget, const QCursor& cursor)
{
    if (widget->testAttribute(Qt::WA_SetCursor) && widget->cursor() == cursor) return;
    widget->setCursor(cursor);
}

// Shows a status text, replacing the one on show only when it differs.
void ShowStatus(QStatusBar* bar, const char* text)
{
    const QLatin1String wanted(text);
    if (bar->currentMessage() == wanted) return;
    bar->showMessage(QString(wanted));
}

// The sprite pixel column or row of an editor coordinate, also left of or above the
// editor (plain division would put -5 / 16 into column 0).
int PixelOf(int coordinate, int cell)
{
    return coordinate >= 0 ? coordinate / cell : -((cell - 1 - coordinate) / cell);
}

// The browser cell under a point, or -1 on the one-pixel left and top edges and outside.
int BrowserIndex(int x, int y, int topRow)
{
    if (x <= 0 || y <= 0 || x >= kBrowserWidth || y >= kBrowserHeight) return -1;
    return x / kBrowserCellWidth + kBrowserColumns * (y / kBrowserCellHeight + topRow);
}

} // namespace

// ---- Painting on the editor ----

// Applies the tool to the current sprite along the line of sprite pixels from `from` to
// `to` (one pixel on a press): the left button's brush with the current pen stamped at
// every pixel of it, then the right one's with transparent, so a fast drag leaves no gaps. A
// press always refreshes; a move refreshes when Paintbrush 1 wrote a pixel, and always
// with Paintbrush 2. The flood fill runs on presses only, at `to`.
void TForm1::PaintStroke(Qt::MouseButtons buttons, QPoint from, QPoint to, bool press)
{
    u8* block = m_doc.bank.sprites;
    const int index = m_doc.bank.currentSprite;
    const bool held[2] = {buttons.testFlag(Qt::LeftButton), buttons.testFlag(Qt::RightButton)};
    const int values[2] = {m_doc.bank.currentPen, 0};

    if (Btn_Flood->isChecked())
    {
        if (!press) return;
        for (int k = 0; k < 2; ++k)
        {
            if (!held[k]) continue;
            const int target = GetPixel(block, index, to.x(), to.y());
            if (target >= 0 && target != values[k])
                FloodFill(block, index, to.x(), to.y(), target, values[k]);
        }
        RefreshAll();
        return;
    }

    // With both buttons held the right button's transparent follows every stamp of the
    // left one over the same pixels, so the whole line in one colour, then in the other,
    // leaves what stamp by stamp would.
    const int brush = Btn_Brush2->isChecked() ? kBrushPlus : kBrushDot;
    bool wrote = false;
    for (int k = 0; k < 2; ++k)
        if (held[k])
            wrote |= StampLine(block, index, from.x(), from.y(), to.x(), to.y(), values[k], brush) > 0;
    if (press || brush == kBrushPlus || wrote) RefreshAll();
}

void TForm1::PaintBox_EditorMouseDown(Qt::MouseButton, Qt::MouseButtons buttons, Qt::KeyboardModifiers, int x,
                                      int y)
{
    const int columnWidth = Chk_MulticolourMode->isChecked() ? 2 * kEditorCell : kEditorCell;
    const QPoint pixel(PixelOf(x, columnWidth), PixelOf(y, kEditorCell));
    m_strokeActive = true;
    m_strokeLast = pixel;
    PaintStroke(buttons, pixel, pixel, true);
}

void TForm1::PaintBox_EditorMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers, int x, int y)
{
    if (Cursors.size() > kCursorFlood)
        ShowCursor(PaintBox_Editor, Cursors.at(Btn_Flood->isChecked() ? kCursorFlood : kCursorPaint));

    const int columnWidth = Chk_MulticolourMode->isChecked() ? 2 * kEditorCell : kEditorCell;
    const QPoint pixel(PixelOf(x, columnWidth), PixelOf(y, kEditorCell));
    const bool inside = x >= 0 && x < kEditorWidth && y >= 0 && y < kEditorHeight;
    if (m_strokeActive)
    {
        // A stroke paints the line from the pointer's last position to this one, also when
        // either lies outside the editor: a drag that leaves or comes back paints up to the
        // edge it crossed, and the pixels outside the sprite change nothing.
        const QPoint from = m_strokeLast;
        m_strokeLast = pixel;
        PaintStroke(buttons, from, pixel, false);
    }
    else if (inside)
    {
        PaintStroke(buttons, pixel, pixel, false);
    }
    // Outside the editor the status text stays.
    if (!inside) return;

    char text[40];
    std::snprintf(text, sizeof text, "(X : %d, Y : %d)", pixel.x(), pixel.y());
    ShowStatus(statusBar(), text);
}

void TForm1::PaintBox_EditorMouseUp(Qt::MouseButton, Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    m_strokeActive = false;
    // The press, its drag and this release are one undo step, changed or not.
    RecordUndoStep(m_doc);
    RefreshAll();
}

// ---- The browser ----

void TForm1::PaintBox_BrowserMouseDown(Qt::MouseButton button, Qt::MouseButtons,
                                       Qt::KeyboardModifiers modifiers, int x, int y)
{
    const int index = BrowserIndex(x, y, ScrollBar_Browser->value());
    if (index < 0 || index >= m_doc.bank.spriteCount || index >= kSlotCount) return;

    if (button == Qt::LeftButton)
    {
        if (!modifiers.testFlag(Qt::ShiftModifier))
        {
            m_doc.bank.currentSprite = m_doc.bank.rangeStart = m_doc.bank.rangeEnd = index;
        }
        else if (index < m_doc.bank.currentSprite)
        {
            // The current sprite stays and anchors the range.
            m_doc.bank.rangeStart = index;
            m_doc.bank.rangeEnd = m_doc.bank.currentSprite;
        }
        else
        {
            m_doc.bank.rangeStart = m_doc.bank.currentSprite;
            m_doc.bank.rangeEnd = index;
        }
    }
    RefreshAll();
}

void TForm1::PaintBox_BrowserMouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y)
{
    const int index = BrowserIndex(x, y, ScrollBar_Browser->value());
    ShowBrowserHover(index < m_doc.bank.spriteCount ? index : -1);
}

// ---- The palette strip ----

void TForm1::PaintBox_PaletteMouseDown(Qt::MouseButton, Qt::MouseButtons buttons, Qt::KeyboardModifiers,
                                       int x, int y)
{
    const int colour = ColourAtStripPoint(x, y);
    if (colour < 0) return;
    const u8 c = static_cast<u8>(colour);

    if (buttons.testFlag(Qt::LeftButton))
    {
        if (m_doc.bank.currentPen == 2)
        {
            // The sprite colour belongs to each sprite: the whole range takes it, as one undo step.
            for (int i = FirstSlot(m_doc.bank); i <= LastSlot(m_doc.bank); ++i)
            {
                u8& attribute = AttributeOf(m_doc.bank.sprites, i);
                attribute = static_cast<u8>((attribute & 0xF0) | c);
            }
            RecordUndoStep(m_doc);
        }
        // The other pens' colours are shared by the whole bank and are not undone.
        switch (m_doc.bank.currentPen)
        {
        case 0:
            m_doc.bank.colourTransp = c;
            break;
        case 1:
            m_doc.bank.colourMulti1 = c;
            break;
        case 2:
            m_doc.bank.colourSprite = c;
            break;
        default:
            m_doc.bank.colourMulti2 = c;
            break;
        }
    }
    if (buttons.testFlag(Qt::RightButton)) m_doc.bank.colourTransp = c;

    PanelColourTransp->setColour(ScreenColour(m_doc.bank.colourTransp));
    PanelColourSprite->setColour(ScreenColour(m_doc.bank.colourSprite));
    PanelColourMulti1->setColour(ScreenColour(m_doc.bank.colourMulti1));
    PanelColourMulti2->setColour(ScreenColour(m_doc.bank.colourMulti2));
    RefreshAll();
}

void TForm1::PaintBox_PaletteMouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y)
{
    const int colour = ColourAtStripPoint(x, y);
    if (colour < 0) return;
    char text[32];
    std::snprintf(text, sizeof text, "Colour number : %d", colour);
    ShowStatus(statusBar(), text);
}

// ---- Pens ----

void TForm1::RadioColourTranspClick()
{
    SelectPen(0);
}
void TForm1::RadioColourSpriteClick()
{
    SelectPen(2);
}
void TForm1::RadioColourMulti1Click()
{
    SelectPen(1);
}
void TForm1::RadioColourMulti2Click()
{
    SelectPen(3);
}

// ---- Attribute flags ----

void TForm1::Chk_MulticolourModeClick()
{
    // Over the whole range; the pixel bytes stay and are read in the new mode. No undo step.
    const bool multicolour = Chk_MulticolourMode->isChecked();
    for (int i = FirstSlot(m_doc.bank); i <= LastSlot(m_doc.bank); ++i)
    {
        u8& attribute = AttributeOf(m_doc.bank.sprites, i);
        attribute = multicolour ? static_cast<u8>(attribute | kAttrMulticolour)
                                : static_cast<u8>(attribute & ~kAttrMulticolour);
    }
    RefreshAll();
}

void TForm1::Chk_OverlayNextClick()
{
    // The current sprite only. No undo step.
    if (ValidSlot(m_doc.bank.currentSprite))
    {
        u8& attribute = AttributeOf(m_doc.bank.sprites, m_doc.bank.currentSprite);
        attribute = Chk_OverlayNext->isChecked() ? static_cast<u8>(attribute | kAttrOverlay)
                                                 : static_cast<u8>(attribute & ~kAttrOverlay);
    }
    RefreshAll();
}
