// Edit, transform and range commands of the main window.
#include "ui/Form1.h"

#include <QAction>
#include <QMessageBox>
#include <QToolBar>

#include <algorithm>

using namespace kelmora;

namespace
{

constexpr u8 kMaskAll = 0x00;          // Clear Attributes
constexpr u8 kMaskKeepColour = 0x0F;   // Clear Attributes, Preserve Colour
constexpr u8 kMaskNoOverlay = 0xEF;    // Clear Overlay Attributes
constexpr u8 kMaskAfterReverse = 0x8F; // Reverse Order drops the overlay flag and bits 5 and 6

u8& AttributeOf(u8* block, int index)
{
    return block[index * kSpriteBytes + kAttributeByte];
}

int FirstSlot(const SpriteBank& bank)
{
    return std::max(0, bank.rangeStart);
}
int LastSlot(const SpriteBank& bank)
{
    return std::min(kSlotCount - 1, bank.rangeEnd);
}

} // namespace

// Runs operation on every sprite of the range, records the result as one undo step
// and refreshes.
void TForm1::RangeCommand(void (*operation)(u8*, int))
{
    for (int i = FirstSlot(m_doc.bank); i <= LastSlot(m_doc.bank); ++i)
        operation(m_doc.bank.sprites, i);
    RecordUndoStep(m_doc);
    RefreshAll();
}

// ---- Selection, clipboard and style ----

void TForm1::Mnu_SelectAllClick()
{
    // The count may be 0 after importing a file shorter than one sprite: the range
    // then becomes 0..0, so it stays ordered and inside the block.
    m_doc.bank.rangeStart = 0;
    m_doc.bank.rangeEnd = std::clamp(m_doc.bank.spriteCount - 1, 0, kSlotCount - 1);
    RefreshAll();
}

void TForm1::Mnu_ClearClick()
{
    ClearRange(m_doc.bank.sprites, m_doc.bank.rangeStart, m_doc.bank.rangeEnd);
    RecordUndoStep(m_doc);
    RefreshAll();
}

void TForm1::Mnu_CutClick()
{
    m_doc.buffer.bufferCount = std::max(0, CopyRange(m_doc.bank.sprites, m_doc.buffer.bufferSprites,
                                                     m_doc.bank.rangeStart, m_doc.bank.rangeEnd, 1));
    RecordUndoStep(m_doc);
    RefreshAll();
}

void TForm1::Mnu_CopyClick()
{
    m_doc.buffer.bufferCount = std::max(0, CopyRange(m_doc.bank.sprites, m_doc.buffer.bufferSprites,
                                                     m_doc.bank.rangeStart, m_doc.bank.rangeEnd, 0));
    RefreshAll();
}

void TForm1::Mnu_PasteClick()
{
    if (m_doc.buffer.bufferCount <= 0 || !ValidSlot(m_doc.bank.rangeStart)) return;
    PasteSprites(m_doc.bank.sprites, m_doc.buffer.bufferSprites, m_doc.bank.rangeStart,
                 m_doc.buffer.bufferCount, 0);
    // The pasted block becomes the selection; it stops at the last slot.
    m_doc.bank.rangeEnd = std::min(m_doc.bank.rangeStart + m_doc.buffer.bufferCount - 1, kSlotCount - 1);
    RecordUndoStep(m_doc);
    RefreshAll();
}

void TForm1::Mnu_PasteIntoClick()
{
    if (m_doc.buffer.bufferCount <= 0) return;
    PasteSprites(m_doc.bank.sprites, m_doc.buffer.bufferSprites, m_doc.bank.rangeStart,
                 m_doc.buffer.bufferCount, 1);
    RecordUndoStep(m_doc);
    RefreshAll();
}

void TForm1::Mnu_CopyStyleClick()
{
    const int attribute = GetAttribute(m_doc.bank.sprites, m_doc.bank.currentSprite);
    if (attribute < 0) return;
    m_doc.copiedStyle = static_cast<u8>(attribute);
    // Enabled at once, even for a style of 255; the next refresh reads 255 as "none".
    Mnu_PasteStyle->setEnabled(true);
}

void TForm1::Mnu_PasteStyleClick()
{
    for (int i = FirstSlot(m_doc.bank); i <= LastSlot(m_doc.bank); ++i)
        AttributeOf(m_doc.bank.sprites, i) = m_doc.copiedStyle;
    RecordUndoStep(m_doc);
    RefreshAll();
}

// ---- Transformations of every sprite of the range ----

void TForm1::Mnu_SlideUpClick()
{
    RangeCommand(&SlideUp);
}
void TForm1::Mnu_SlideDownClick()
{
    RangeCommand(&SlideDown);
}
void TForm1::Mnu_SlideLeftClick()
{
    RangeCommand(&SlideLeft);
}
void TForm1::Mnu_SlideRightClick()
{
    RangeCommand(&SlideRight);
}
void TForm1::Mnu_FlipXClick()
{
    RangeCommand(&FlipX);
}
void TForm1::Mnu_FlipYClick()
{
    RangeCommand(&FlipY);
}
void TForm1::Mnu_ReflectXClick()
{
    RangeCommand(&ReflectX);
}
void TForm1::Mnu_ReflectYClick()
{
    RangeCommand(&ReflectY);
}
void TForm1::Mnu_NegativeClick()
{
    RangeCommand(&Negative);
}

// Pixel values: 1 multi-colour 1, 2 sprite colour, 3 multi-colour 2. Hires sprites stay as they are.
void TForm1::Mnu_SwapSprMc1Click()
{
    RangeCommand([](u8* block, int index) { SwapColours(block, index, 2, 1); });
}

void TForm1::Mnu_SwapSprMc2Click()
{
    RangeCommand([](u8* block, int index) { SwapColours(block, index, 2, 3); });
}

void TForm1::Mnu_SwapMc1Mc2Click()
{
    RangeCommand([](u8* block, int index) { SwapColours(block, index, 1, 3); });
}

// ---- Undo ----

void TForm1::Mnu_UndoClick()
{
    // Sprites only: the count, the shared colours and the selection stay.
    UndoStep(m_doc);
    RefreshAll();
}

void TForm1::Mnu_RedoClick()
{
    RedoStep(m_doc);
    RefreshAll();
}

// ---- Special range operations ----

namespace
{

// Reverse Order and Remove Blanks need two or more sprites; a single one gets a hint.
bool NeedsRange(QWidget* owner, const SpriteBank& bank)
{
    if (bank.rangeStart != bank.rangeEnd) return false;
    QMessageBox box(
        QMessageBox::NoIcon, QStringLiteral("Hint..."),
        QStringLiteral("First select a range using SHIFT and Left Mouse Button or CTRL+A for all."),
        QMessageBox::Ok, owner);
    box.exec();
    return true;
}

} // namespace

void TForm1::Mnu_ReverseOrderClick()
{
    if (NeedsRange(this, m_doc.bank)) return;
    ReverseOrder(m_doc.bank.sprites, m_doc.bank.rangeStart, m_doc.bank.rangeEnd);
    MaskAttributes(m_doc.bank.sprites, m_doc.bank.rangeStart, m_doc.bank.rangeEnd, kMaskAfterReverse);
    RecordUndoStep(m_doc);
    RefreshAll();
}

void TForm1::Mnu_RemoveBlanksClick()
{
    if (NeedsRange(this, m_doc.bank)) return;
    RemoveBlanks(m_doc.bank.sprites, m_doc.bank.rangeStart, m_doc.bank.rangeEnd);
    RecordUndoStep(m_doc);
    RefreshAll();
}

void TForm1::ClearAttributes2Click()
{
    MaskAttributes(m_doc.bank.sprites, m_doc.bank.rangeStart, m_doc.bank.rangeEnd, kMaskAll);
    RecordUndoStep(m_doc);
    RefreshAll();
}

void TForm1::ClearAttributes1Click()
{
    MaskAttributes(m_doc.bank.sprites, m_doc.bank.rangeStart, m_doc.bank.rangeEnd, kMaskKeepColour);
    RecordUndoStep(m_doc);
    RefreshAll();
}

void TForm1::Clearalloverlayattributes1Click()
{
    MaskAttributes(m_doc.bank.sprites, m_doc.bank.rangeStart, m_doc.bank.rangeEnd, kMaskNoOverlay);
    RecordUndoStep(m_doc);
    RefreshAll();
}

// ---- Tool bar style ----

void TForm1::Mnu_ToolBar_FlatClick()
{
    Mnu_ToolBar_Flat->setChecked(true);
    ToolBar1->setProperty("flat", true);
    ToolBar1->setStyleSheet(QString());
}

void TForm1::Mnu_ToolBar_RaisedClick()
{
    Mnu_ToolBar_Raised->setChecked(true);
    ToolBar1->setProperty("flat", false);
    // The button that is down (the chosen tool) shows pressed in.
    ToolBar1->setStyleSheet(QStringLiteral(
        "QToolButton { border: 1px outset palette(mid); margin: 1px; }"
        "QToolButton:checked { border: 1px inset palette(dark); background: palette(midlight); }"));
}
