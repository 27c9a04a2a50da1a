// The object editor's commands on the whole object: transforms, copy and paste of a
// rectangle, undo and redo, and splitting the picture into an overlay pair.
#include "ui/tools/FormObject.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPainter>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

#include "core/SpriteBankStore.h"
#include "ui/EditorHost.h"
#include "ui/tools/ObjectCanvas.h"

using namespace kelmora;

namespace
{

const char* const kColourNames[kPaletteColours] = {
    "black",  "white", "red",       "cyan",      "purple", "green",       "blue",       "yellow",
    "orange", "brown", "light red", "dark grey", "grey",   "light green", "light blue", "light grey"};

QIcon ColourIcon(QRgb colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(QColor::fromRgb(colour));
    QPainter painter(&pixmap);
    painter.setPen(QColor(0x60, 0x60, 0x60));
    painter.drawRect(0, 0, 15, 15);
    return QIcon(pixmap);
}

// The highest slot of both layers of an object.
int HighestSlot(const SpriteObject& object)
{
    int highest = -1;
    for (int slot : object.cells)
        highest = std::max(highest, slot);
    for (int slot : object.overlayCells)
        highest = std::max(highest, slot);
    return highest;
}

} // namespace

// ---- Undo and redo: the project's history, shared with the main window ----

void TFormObject::Mnu_ObjUndoClick()
{
    if (!UndoStep(m_host.document())) return;
    m_host.documentChanged(false);
}

void TFormObject::Mnu_ObjRedoClick()
{
    if (!RedoStep(m_host.document())) return;
    m_host.documentChanged(false);
}

// ---- Whole-object transforms ----

void TFormObject::Transform(bool (*operation)(SpriteBank&, const SpriteObject&))
{
    const SpriteObject* object = Object();
    if (object == nullptr) return;
    SpriteBank& bank = m_host.document().bank;
    if (!ObjectEditable(*object, bank.spriteCount, true))
    {
        std::string problem = ObjectProblem(*object);
        if (problem.empty()) problem = ObjectUseProblem(*object, bank.spriteCount);
        if (problem.empty())
            problem = "A sprite is in two cells of the object; commands on the whole object need a sprite of "
                      "its own in every cell.";
        ShowStatus(QString::fromStdString(problem));
        return;
    }
    if (operation(bank, *object)) Changed(true);
}

void TFormObject::Mnu_ObjSlideUpClick()
{
    Transform(SlideObjectUp);
}
void TFormObject::Mnu_ObjSlideDownClick()
{
    Transform(SlideObjectDown);
}
void TFormObject::Mnu_ObjSlideLeftClick()
{
    Transform(SlideObjectLeft);
}
void TFormObject::Mnu_ObjSlideRightClick()
{
    Transform(SlideObjectRight);
}
void TFormObject::Mnu_ObjFlipLeftRightClick()
{
    Transform(FlipObjectLeftRight);
}
void TFormObject::Mnu_ObjFlipTopBottomClick()
{
    Transform(FlipObjectTopBottom);
}
void TFormObject::Mnu_ObjMirrorLeftClick()
{
    Transform(MirrorObjectLeftHalf);
}
void TFormObject::Mnu_ObjMirrorTopClick()
{
    Transform(MirrorObjectTopHalf);
}
void TFormObject::Mnu_ObjNegativeClick()
{
    Transform(NegateObject);
}
void TFormObject::Mnu_ObjClearClick()
{
    Transform(ClearObject);
}

// ---- Copy and paste of a rectangle ----

void TFormObject::Mnu_ObjSelectAllClick()
{
    const SpriteObject* object = Object();
    if (object == nullptr) return;
    m_selection = QRect(0, 0, ObjectPictureWidth(*object), ObjectPictureHeight(*object));
    Canvas_Object->setSelection(m_selection);
}

void TFormObject::Mnu_ObjCopyClick()
{
    const SpriteObject* object = Object();
    if (object == nullptr || !Paintable()) return;
    const QRect area = m_selection.isEmpty()
                           ? QRect(0, 0, ObjectPictureWidth(*object), ObjectPictureHeight(*object))
                           : m_selection;
    m_clip = CopyObjectArea(m_host.document().bank, *object, area.x(), area.y(), area.width(), area.height());
    RefreshActions();
    ShowStatus(QStringLiteral("Copied %1 x %2 pixels").arg(m_clip.width).arg(m_clip.height));
}

void TFormObject::Mnu_ObjPasteClick()
{
    const SpriteObject* object = Object();
    if (object == nullptr || m_clip.width <= 0 || !Paintable()) return;
    // At the selection's corner, or where the clip was copied from.
    const QPoint at = m_selection.isEmpty() ? QPoint(m_clip.left, m_clip.top) : m_selection.topLeft();
    const int changed = PasteObjectArea(m_host.document().bank, *object, m_clip, at.x(), at.y());
    m_selection = QRect(at, QSize(m_clip.width, m_clip.height)) &
                  QRect(0, 0, ObjectPictureWidth(*object), ObjectPictureHeight(*object));
    Canvas_Object->setSelection(m_selection);
    if (changed > 0) Changed(true);
    ShowStatus(QStringLiteral("Pasted %1 x %2 pixels at (%3, %4)")
                   .arg(m_clip.width)
                   .arg(m_clip.height)
                   .arg(at.x())
                   .arg(at.y()));
}

// ---- Split into overlay pair ----

void TFormObject::Mnu_ObjSplitClick()
{
    SpriteObject* object = Object();
    if (object == nullptr) return;
    Document& document = m_host.document();
    SpriteBank& bank = document.bank;

    // Without an overlay layer the object gets one in the slots after its own.
    SpriteObject target = *object;
    const bool addLayer = !HasOverlayLayer(target);
    if (addLayer && !AddOverlayLayer(target, HighestSlot(target) + 1))
        return ShowMessage(QStringLiteral("An overlay layer needs %1 sprites after slot %2, beyond slot 255.")
                               .arg(target.cells.size())
                               .arg(HighestSlot(target)));
    if (!ObjectEditable(target, bank.spriteCount, true))
    {
        std::string problem = ObjectUseProblem(target, bank.spriteCount);
        if (problem.empty())
            problem = "A sprite is in two cells of the object; the split needs a sprite of its own "
                      "in every cell.";
        if (addLayer)
            problem = "The overlay layer would take sprites " + std::to_string(target.overlayCells.front()) +
                      " to " + std::to_string(target.overlayCells.back()) + ". " + problem;
        return ShowMessage(QString::fromStdString(problem));
    }

    // The picture as it shows now; the colour proposed for the overlay is the one it
    // uses most that is none of the shared colours or the cells' own.
    const std::vector<int> colours = ObjectPictureColours(bank, *object);
    std::array<int, kPaletteColours> uses{};
    for (int colour : colours)
        if (colour >= 0) ++uses[static_cast<std::size_t>(colour)];
    std::array<bool, kPaletteColours> taken{};
    taken[bank.colourTransp & kAttrColourMask] = taken[bank.colourMulti1 & kAttrColourMask] =
        taken[bank.colourMulti2 & kAttrColourMask] = true;
    for (int slot : object->cells)
        taken[static_cast<std::size_t>(GetSpriteColour(bank.sprites, slot))] = true;
    int proposed = HasOverlayLayer(*object) ? GetSpriteColour(bank.sprites, object->overlayCells.front()) : 1;
    int most = 0;
    for (int c = 0; c < kPaletteColours; ++c)
        if (!taken[static_cast<std::size_t>(c)] && uses[static_cast<std::size_t>(c)] > most)
        {
            most = uses[static_cast<std::size_t>(c)];
            proposed = c;
        }

    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("FormObjectSplit"));
    dialog.setWindowTitle(QStringLiteral("Split into Overlay Pair"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* explain = new QLabel(
        QStringLiteral(
            "Each cell becomes a multicolour sprite (the background, the two multi-colours and its "
            "own colour, in double-wide pixels) with a hires sprite of the overlay colour over it."),
        &dialog);
    explain->setWordWrap(true);
    layout->addWidget(explain);
    auto* form = new QFormLayout();
    auto* underlay = new QComboBox(&dialog);
    underlay->setObjectName(QStringLiteral("Combo_UnderlayColour"));
    underlay->addItem(QStringLiteral("Each cell keeps its own"), -1);
    auto* overlay = new QComboBox(&dialog);
    overlay->setObjectName(QStringLiteral("Combo_OverlayColour"));
    const std::uint32_t* screen = m_host.viewColours();
    for (int c = 0; c < kPaletteColours; ++c)
    {
        const QString name = QStringLiteral("%1 %2").arg(c).arg(QString::fromLatin1(kColourNames[c]));
        underlay->addItem(ColourIcon(screen[c]), name, c);
        overlay->addItem(ColourIcon(screen[c]), name, c);
    }
    overlay->setCurrentIndex(proposed);
    form->addRow(QStringLiteral("Cells' colour:"), underlay);
    form->addRow(QStringLiteral("Overlay colour:"), overlay);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) return;

    const int wrong = SplitObjectIntoOverlayPair(bank, target, colours, underlay->currentData().toInt(),
                                                 overlay->currentData().toInt());
    if (wrong < 0) return ShowMessage(QStringLiteral("The object could not be split."));
    *object = target;
    Changed(true);
    ShowStatus(
        wrong == 0
            ? QStringLiteral("Split: the pair shows the picture exactly.")
            : QStringLiteral("Split: %1 pixels show another colour (the pair cannot show them).").arg(wrong));
}
