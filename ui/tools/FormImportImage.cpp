// The Import Image window.
#include "ui/tools/FormImportImage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <bitset>
#include <cmath>

#include "core/Sheet.h"
#include "core/Sprite.h"
#include "ui/EditorHost.h"
#include "ui/Fit.h"
#include "ui/Pictures.h"
#include "ui/Widgets.h"

using namespace kelmora;

namespace
{

const char* const kColourNames[kPaletteColours] = {
    "black",  "white", "red",       "cyan",      "purple", "green",       "blue",       "yellow",
    "orange", "brown", "light red", "dark grey", "grey",   "light green", "light blue", "light grey",
};

constexpr int kMaxCount = 4096;                 // the Count control's top: far more cells than slots
constexpr int kMaxZoom = 8;                     //
constexpr long long kMaxViewPixels = 1 << 24;   // the zoom stops before a view grows larger
constexpr long long kMostDrawnPixels = 1 << 26; // a picture larger still is not drawn
constexpr int kFrameSpacing = 8;                // view pixels between two frames of an animation
constexpr int kLeastViewWidth = 300;            // the views are never smaller
constexpr int kLeastViewHeight = 240;           //
constexpr int kFitWidth = 400;                  // the views' size the first zoom aims at
constexpr int kFitHeight = 360;                 //
constexpr int kLeastResultChars = 36;           // the result's lines are never narrower

QString ColourText(int colour)
{
    return QStringLiteral("%1 %2").arg(colour).arg(QString::fromLatin1(kColourNames[colour & 15]));
}

// "1 cell", "5 cells".
QString Count(int n, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromLatin1(n == 1 ? one : many));
}

// A warning in the result's words: red, brighter on a dark theme.
QString Warning(const QWidget* window, const QString& text)
{
    return QStringLiteral("<span style=\"color:%1\">").arg(fit::WarningColour(window->palette()).name()) +
           text + QStringLiteral("</span>");
}

// A frame's pixels as an image to draw, without copying them (the frame outlives it).
QImage FrameImage(const RgbaImage& frame)
{
    return QImage(reinterpret_cast<const uchar*>(frame.pixels.data()), frame.width, frame.height,
                  static_cast<qsizetype>(frame.width) * 4, QImage::Format_ARGB32);
}

// Outlines the regions a cell's violating sprite pixels cover: an edge of a pixel's square
// is drawn where the next pixel of the cell is not one of them. Squares too small for a
// line inside them are filled. top is where the cell's frame starts in the view.
void OutlineViolations(QPainter& painter, const ImportedCell& cell, int scale, int zoom, int top,
                       const QColor& colour)
{
    std::bitset<kSpriteWidth * kSpriteHeight> marked;
    for (const ImportViolation& v : cell.violations)
    {
        const int x = (v.x - cell.x) / scale, y = (v.y - cell.y) / scale;
        if (x >= 0 && x < kSpriteWidth && y >= 0 && y < kSpriteHeight) marked.set(y * kSpriteWidth + x);
    }
    const auto at = [&marked](int x, int y) {
        return x >= 0 && x < kSpriteWidth && y >= 0 && y < kSpriteHeight && marked.test(y * kSpriteWidth + x);
    };
    const int square = scale * zoom;
    const int line = square >= 8 ? 2 : 1;
    for (int y = 0; y < kSpriteHeight; ++y)
        for (int x = 0; x < kSpriteWidth; ++x)
        {
            if (!at(x, y)) continue;
            const QRect r(cell.x * zoom + x * square, top + cell.y * zoom + y * square, square, square);
            if (square < 3)
            {
                painter.fillRect(r, colour);
                continue;
            }
            if (!at(x, y - 1)) painter.fillRect(r.left(), r.top(), square, line, colour);
            if (!at(x, y + 1)) painter.fillRect(r.left(), r.bottom() + 1 - line, square, line, colour);
            if (!at(x - 1, y)) painter.fillRect(r.left(), r.top(), line, square, colour);
            if (!at(x + 1, y)) painter.fillRect(r.right() + 1 - line, r.top(), line, square, colour);
        }
}

// The cell grid's line: dark and light dashes, seen on any picture.
void GridLine(QPainter& painter, const QRect& r)
{
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(r.adjusted(0, 0, -1, -1));
    QPen dashes(QColor(255, 255, 96), 1, Qt::CustomDashLine);
    dashes.setDashPattern({3, 3});
    painter.setPen(dashes);
    painter.drawRect(r.adjusted(0, 0, -1, -1));
}

QBrush Checkerboard()
{
    QPixmap tile(16, 16);
    tile.fill(QColor(0xC0, 0xC0, 0xC0));
    QPainter painter(&tile);
    painter.fillRect(0, 0, 8, 8, QColor(0x80, 0x80, 0x80));
    painter.fillRect(8, 8, 8, 8, QColor(0x80, 0x80, 0x80));
    return QBrush(tile);
}

} // namespace

TFormImportImage::TFormImportImage(TEditorHost& host, QWidget* parent)
    : QDialog(parent), m_host(host), m_palettes(host.knownPalettes())
{
    setObjectName(QStringLiteral("FormImportImage"));
    setWindowTitle(QStringLiteral("Import Image"));
    setSizeGripEnabled(true);

    // ---- The two views ----
    auto view = [this](const char* labelName, const char* scrollName, const char* boxName, QLabel*& label,
                       QScrollArea*& scroll, TPaintBox*& box, const QImage* image)
    {
        label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(labelName));
        label->setTextFormat(Qt::PlainText);
        scroll = new QScrollArea(this);
        scroll->setObjectName(QString::fromLatin1(scrollName));
        scroll->setMinimumSize(kLeastViewWidth, kLeastViewHeight);
        scroll->setAlignment(Qt::AlignCenter);
        scroll->setBackgroundRole(QPalette::Dark);
        box = new TPaintBox;
        box->setObjectName(QString::fromLatin1(boxName));
        box->onPaint = [image](QPainter& painter) { painter.drawImage(0, 0, *image); };
        scroll->setWidget(box);
    };
    view("Label_Picture", "Scroll_Picture", "PaintBox_Picture", Label_Picture, Scroll_Picture,
         PaintBox_Picture, &m_pictureView);
    view("Label_Sprites", "Scroll_Result", "PaintBox_Result", Label_Sprites, Scroll_Result, PaintBox_Result,
         &m_resultView);
    Label_Sprites->setText(QStringLiteral("Sprites (outlined in red: pixels shown in another colour)"));
    // The two views scroll together, so a cell and its sprite stay side by side.
    for (auto [from, to] :
         {std::pair{Scroll_Picture, Scroll_Result}, std::pair{Scroll_Result, Scroll_Picture}})
    {
        connect(from->horizontalScrollBar(), &QScrollBar::valueChanged, to->horizontalScrollBar(),
                &QScrollBar::setValue);
        connect(from->verticalScrollBar(), &QScrollBar::valueChanged, to->verticalScrollBar(),
                &QScrollBar::setValue);
    }

    auto spin = [this](const char* name, int maximum, const QString& special, const QString& hint)
    {
        auto* box = new QSpinBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setRange(0, maximum);
        if (!special.isEmpty()) box->setSpecialValueText(special);
        box->setToolTip(hint);
        connect(box, &QSpinBox::valueChanged, this, &TFormImportImage::SettingChanged);
        return box;
    };
    Spin_Zoom = new QSpinBox(this);
    Spin_Zoom->setObjectName(QStringLiteral("Spin_Zoom"));
    Spin_Zoom->setRange(1, kMaxZoom);
    Spin_Zoom->setSuffix(QStringLiteral("x"));
    Spin_Zoom->setToolTip(QStringLiteral("How large both views draw the picture"));
    connect(Spin_Zoom, &QSpinBox::valueChanged, this, [this] { DrawViews(); });

    // ---- Cells ----
    auto* cells = new QGroupBox(QStringLiteral("Cells"), this);
    cells->setObjectName(QStringLiteral("GroupBox_Cells"));
    Spin_Scale = spin("Spin_Scale", 1, QStringLiteral("Auto"),
                      QStringLiteral("Picture pixels a sprite pixel is wide and high; Auto: the largest "
                                     "for which every square of the cells is one colour"));
    Spin_OffsetX = spin("Spin_OffsetX", 0, {}, QStringLiteral("Where the first cell starts, from the left"));
    Spin_OffsetY = spin("Spin_OffsetY", 0, {}, QStringLiteral("Where the first cell starts, from the top"));
    Spin_GapX = spin("Spin_GapX", 0, {}, QStringLiteral("Picture pixels between two cells of a row"));
    Spin_GapY = spin("Spin_GapY", 0, {}, QStringLiteral("Picture pixels between two rows of cells"));
    Spin_Columns = spin("Spin_Columns", 1, QStringLiteral("All"),
                        QStringLiteral("Cells a row at most; All: as many as the width holds"));
    Spin_Count = spin("Spin_Count", kMaxCount, QStringLiteral("All"),
                      QStringLiteral("Cells to import at most, frame after frame"));
    auto pair = [](QSpinBox* x, QSpinBox* y)
    {
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel(QStringLiteral("X")));
        row->addWidget(x, 1);
        row->addWidget(new QLabel(QStringLiteral("Y")));
        row->addWidget(y, 1);
        return row;
    };
    auto* cellsForm = new QFormLayout(cells);
    cellsForm->addRow(QStringLiteral("Scale"), Spin_Scale);
    cellsForm->addRow(QStringLiteral("Offset"), pair(Spin_OffsetX, Spin_OffsetY));
    cellsForm->addRow(QStringLiteral("Gap"), pair(Spin_GapX, Spin_GapY));
    cellsForm->addRow(QStringLiteral("Columns"), Spin_Columns);
    cellsForm->addRow(QStringLiteral("Count"), Spin_Count);

    // ---- Colours ----
    auto* colours = new QGroupBox(QStringLiteral("Colours"), this);
    colours->setObjectName(QStringLiteral("GroupBox_Colours"));
    auto combo = [this](const char* name, const QString& hint)
    {
        auto* box = new QComboBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setToolTip(hint);
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        return box;
    };
    Combo_Palette = combo("Combo_Palette", QStringLiteral("The palette the picture's colours are matched "
                                                          "against; Best fit: the one with the least error"));
    Combo_Palette->addItem(QStringLiteral("Best fit"));
    for (const NamedPalette& palette : m_palettes)
        Combo_Palette->addItem(QString::fromStdString(palette.name));
    Combo_Mode = combo("Combo_Mode", QStringLiteral("Auto: multicolour when every horizontal pixel pair of "
                                                    "the cell is one colour, hires otherwise"));
    Combo_Mode->addItems({QStringLiteral("Auto"), QStringLiteral("Hires"), QStringLiteral("Multicolour")});
    const std::uint32_t* viewColours = m_host.viewColours();
    auto colourCombo = [&](const char* name, const QString& hint)
    {
        QComboBox* box = combo(name, hint);
        box->addItem(QStringLiteral("Auto"));
        for (int c = 0; c < kPaletteColours; ++c)
        {
            QPixmap swatch(16, 12);
            swatch.fill(QColor::fromRgb(viewColours[c]));
            box->addItem(QIcon(swatch), ColourText(c));
        }
        return box;
    };
    const QString keeps = QStringLiteral(" (with all three on Auto, the document's own colours when they "
                                         "show the picture as well)");
    Combo_Background =
        colourCombo("Combo_Background", QStringLiteral("Auto: the most frequent colour") + keeps);
    Combo_Multi1 = colourCombo("Combo_Multi1", QStringLiteral("Auto: with multi-colour 2, the pair that lets "
                                                              "the most cells be shown exactly") +
                                                   keeps);
    Combo_Multi2 = colourCombo("Combo_Multi2", QStringLiteral("Auto: with multi-colour 1, the pair that lets "
                                                              "the most cells be shown exactly") +
                                                   keeps);
    Chk_Overlay = new QCheckBox(QStringLiteral("Overlay pairs"), this);
    Chk_Overlay->setObjectName(QStringLiteral("Chk_Overlay"));
    Chk_Overlay->setToolTip(
        QStringLiteral("A cell one sprite cannot show becomes a multicolour sprite with a "
                       "hires sprite of one colour on top, in the next slot"));
    Chk_SetColours = new QCheckBox(QStringLiteral("Set the shared colours"), this);
    Chk_SetColours->setObjectName(QStringLiteral("Chk_SetColours"));
    Chk_SetColours->setChecked(true);
    Chk_SetColours->setToolTip(QStringLiteral("The document's background and multi-colours become these; "
                                              "when off, the picture is fitted to the document's own"));
    for (QComboBox* box : {Combo_Palette, Combo_Mode, Combo_Background, Combo_Multi1, Combo_Multi2})
        connect(box, &QComboBox::currentIndexChanged, this, &TFormImportImage::SettingChanged);
    connect(Chk_Overlay, &QCheckBox::toggled, this, &TFormImportImage::SettingChanged);
    connect(Chk_SetColours, &QCheckBox::toggled, this,
            [this](bool on)
            {
                for (QComboBox* box : {Combo_Background, Combo_Multi1, Combo_Multi2})
                {
                    const QSignalBlocker blocker(box);
                    box->setEnabled(on);
                    if (!on) box->setCurrentIndex(0);
                }
                SettingChanged();
            });
    auto* coloursForm = new QFormLayout(colours);
    coloursForm->addRow(QStringLiteral("Palette"), Combo_Palette);
    coloursForm->addRow(QStringLiteral("Mode"), Combo_Mode);
    coloursForm->addRow(QStringLiteral("Background"), Combo_Background);
    coloursForm->addRow(QStringLiteral("Multi-colour 1"), Combo_Multi1);
    coloursForm->addRow(QStringLiteral("Multi-colour 2"), Combo_Multi2);
    coloursForm->addRow(Chk_Overlay);
    coloursForm->addRow(Chk_SetColours);

    // ---- What the settings give, and where it goes ----
    auto* outcome = GroupBox_Result = new QGroupBox(QStringLiteral("Result"), this);
    outcome->setObjectName(QStringLiteral("GroupBox_Result"));
    auto label = [this](const char* name)
    {
        auto* text = new QLabel(this);
        text->setObjectName(QString::fromLatin1(name));
        text->setTextFormat(Qt::RichText);
        text->setWordWrap(true);
        text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        text->setMinimumWidth(text->fontMetrics().averageCharWidth() * kLeastResultChars);
        return text;
    };
    Label_Result = label("Label_Result");
    Label_Placement = label("Label_Placement");
    auto* outcomeLayout = new QVBoxLayout(outcome);
    outcomeLayout->addWidget(Label_Result);
    outcomeLayout->addWidget(Label_Placement);
    outcomeLayout->addStretch(1);

    Btn_OK = new QPushButton(QStringLiteral("OK"), this);
    Btn_OK->setObjectName(QStringLiteral("Btn_OK"));
    Btn_OK->setDefault(true);
    Btn_Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    Btn_Cancel->setObjectName(QStringLiteral("Btn_Cancel"));
    connect(Btn_OK, &QPushButton::clicked, this, &TFormImportImage::Btn_OKClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    // ---- Layout ----
    auto* views = new QGridLayout;
    views->addWidget(Label_Picture, 0, 0);
    views->addWidget(Label_Sprites, 0, 1);
    views->addWidget(Scroll_Picture, 1, 0);
    views->addWidget(Scroll_Result, 1, 1);
    views->setRowStretch(1, 1);
    auto* settings = new QHBoxLayout;
    settings->addWidget(cells);
    settings->addWidget(colours);
    settings->addWidget(outcome, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(QStringLiteral("Zoom")));
    buttons->addWidget(Spin_Zoom);
    buttons->addStretch(1);
    buttons->addWidget(Btn_OK);
    buttons->addWidget(Btn_Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(views, 1);
    layout->addLayout(settings);
    layout->addLayout(buttons);

    ShowResult();
}

TFormImportImage::~TFormImportImage() = default;

void TFormImportImage::SetPicture(std::vector<RgbaImage> frames, const QString& name)
{
    m_frames = std::move(frames);
    int width = 0, height = 0;
    for (const RgbaImage& frame : m_frames)
    {
        width = std::max(width, frame.width);
        height = std::max(height, frame.height);
    }
    QString text = QStringLiteral("Picture: %1, %2 x %3").arg(name).arg(width).arg(height);
    if (m_frames.size() > 1) text += QStringLiteral(", %1 frames one below the other").arg(m_frames.size());
    Label_Picture->setText(text);
    setWindowTitle(QStringLiteral("Import Image - ") + name);

    // The controls reach as far as the picture does.
    m_solving = true;
    Spin_Scale->setMaximum(std::max(1, std::min(width / kSpriteWidth, height / kSpriteHeight)));
    Spin_OffsetX->setMaximum(std::max(0, width - 1));
    Spin_OffsetY->setMaximum(std::max(0, height - 1));
    Spin_GapX->setMaximum(width);
    Spin_GapY->setMaximum(height);
    Spin_Columns->setMaximum(std::max(1, width / kSpriteWidth));
    m_solving = false;
    FitZoom();
    SettingChanged();
    FitWindow();
}

void TFormImportImage::FitWindow()
{
    // The window opens large enough to show both views whole, as far as the screen allows.
    const QSize least(kLeastViewWidth, kLeastViewHeight);
    const QSize around = minimumSizeHint() - QSize(2 * least.width(), least.height());
    QSize room(1024, 768);
    if (const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen())
        room = screen->availableGeometry().size();
    const QSize most((room.width() - around.width() - 40) / 2, room.height() - around.height() - 60);
    const int frame = 2 * Scroll_Picture->frameWidth();
    const QSize wanted = (PaintBox_Picture->size() + QSize(frame, frame)).boundedTo(most).expandedTo(least);
    Scroll_Picture->setMinimumSize(wanted);
    Scroll_Result->setMinimumSize(wanted);
    layout()->activate();
    resize(minimumSizeHint());
    Scroll_Picture->setMinimumSize(least);
    Scroll_Result->setMinimumSize(least);
}

void TFormImportImage::FitZoom()
{
    long long width = 1, height = 0;
    for (const RgbaImage& frame : m_frames)
    {
        width = std::max<long long>(width, frame.width);
        height += frame.height;
    }
    height = std::max(1LL, height);
    // Both views are this large: the zoom stops where an image would grow too large.
    const int largest = static_cast<int>(
        std::clamp<long long>(static_cast<long long>(std::sqrt(static_cast<double>(kMaxViewPixels) /
                                                               static_cast<double>(width * height))),
                              1, kMaxZoom));
    const int fit = static_cast<int>(std::min(kFitWidth / width, kFitHeight / height));
    const QSignalBlocker blocker(Spin_Zoom);
    Spin_Zoom->setMaximum(largest);
    Spin_Zoom->setValue(std::clamp(fit, 1, largest));
}

int TFormImportImage::FirstSlot() const
{
    return std::clamp(static_cast<int>(m_host.document().bank.currentSprite), 0, kSlotCount - 1);
}

ImageImportSettings TFormImportImage::Settings() const
{
    ImageImportSettings s;
    s.scale = Spin_Scale->value();
    s.offsetX = Spin_OffsetX->value();
    s.offsetY = Spin_OffsetY->value();
    s.gapX = Spin_GapX->value();
    s.gapY = Spin_GapY->value();
    s.columns = Spin_Columns->value();
    s.count = Spin_Count->value();
    s.palette = Combo_Palette->currentIndex() - 1;
    s.mode = Combo_Mode->currentIndex() == 1   ? ImportMode::Hires
             : Combo_Mode->currentIndex() == 2 ? ImportMode::Multicolour
                                               : ImportMode::Auto;
    if (Chk_SetColours->isChecked())
    {
        s.background = Combo_Background->currentIndex() - 1;
        s.multi1 = Combo_Multi1->currentIndex() - 1;
        s.multi2 = Combo_Multi2->currentIndex() - 1;
    }
    else
    {
        // The sprites must look right with the colours the document keeps.
        const SpriteBank& bank = m_host.document().bank;
        s.background = bank.colourTransp & kAttrColourMask;
        s.multi1 = bank.colourMulti1 & kAttrColourMask;
        s.multi2 = bank.colourMulti2 & kAttrColourMask;
    }
    s.overlay = Chk_Overlay->isChecked();
    s.maxSprites = kSlotCount - FirstSlot();
    return s;
}

void TFormImportImage::SettingChanged()
{
    if (m_solving) return;
    Solve();
    ShowResult();
}

void TFormImportImage::Solve()
{
    if (m_frames.empty())
    {
        m_result = ImageImportResult{};
        return;
    }
    const ImageImportSettings settings = Settings();
    m_result = ImportImage(m_frames, m_palettes, settings);
    // Left to choose all three shared colours, the document keeps its own when they show
    // the picture as well: a picture copied out of this bank comes back without changing
    // how its other sprites look.
    if (m_result.status != ImportStatus::Ok || settings.background >= 0 || settings.multi1 >= 0 ||
        settings.multi2 >= 0)
        return;
    const SpriteBank& bank = m_host.document().bank;
    ImageImportSettings own = settings;
    own.background = bank.colourTransp & kAttrColourMask;
    own.multi1 = bank.colourMulti1 & kAttrColourMask;
    own.multi2 = bank.colourMulti2 & kAttrColourMask;
    if (own.background == m_result.background && own.multi1 == m_result.multi1 &&
        own.multi2 == m_result.multi2)
        return;
    ImageImportResult kept = ImportImage(m_frames, m_palettes, own);
    if (kept.status == ImportStatus::Ok && kept.violations <= m_result.violations &&
        kept.spriteCount <= m_result.spriteCount && kept.cellsLeftOut <= m_result.cellsLeftOut)
        m_result = std::move(kept);
}

void TFormImportImage::ShowResult()
{
    const ImageImportResult& r = m_result;
    const bool ok = r.status == ImportStatus::Ok;

    // What Auto stands for this time.
    Spin_Scale->setSpecialValueText(ok || r.scale > 0 ? QStringLiteral("Auto (%1)").arg(r.scale)
                                                      : QStringLiteral("Auto"));
    Combo_Palette->setItemText(
        0, ok ? QStringLiteral("Best fit (%1)")
                    .arg(QString::fromStdString(m_palettes[static_cast<std::size_t>(r.palette)].name))
              : QStringLiteral("Best fit"));
    const bool kept = !Chk_SetColours->isChecked();
    const int shared[3] = {r.background, r.multi1, r.multi2};
    QComboBox* sharedBoxes[3] = {Combo_Background, Combo_Multi1, Combo_Multi2};
    for (int k = 0; k < 3; ++k)
        sharedBoxes[k]->setItemText(0, !ok    ? QStringLiteral("Auto")
                                       : kept ? QStringLiteral("As now (%1)").arg(ColourText(shared[k]))
                                              : QStringLiteral("Auto (%1)").arg(ColourText(shared[k])));

    QString result, placement;
    switch (r.status)
    {
    case ImportStatus::NoPicture:
        result = QStringLiteral("No picture.");
        break;
    case ImportStatus::BadSettings:
        result = Warning(this, QStringLiteral("These settings cannot be used."));
        break;
    case ImportStatus::NoCells:
    {
        const RgbaImage& first = m_frames.front();
        result =
            Warning(this, QStringLiteral("No whole cell fits: a cell is 24 x 21 pixels times the scale (%1), "
                                         "from the offset %2,%3, and the picture is %4 x %5.")
                              .arg(r.scale)
                              .arg(Spin_OffsetX->value())
                              .arg(Spin_OffsetY->value())
                              .arg(first.width)
                              .arg(first.height));
        break;
    }
    case ImportStatus::Ok:
    {
        const QString paletteName =
            QString::fromStdString(m_palettes[static_cast<std::size_t>(r.palette)].name).toHtmlEscaped();
        result =
            QStringLiteral("Palette %1, mean error %2.<br>").arg(paletteName).arg(r.meanError, 0, 'f', 1);
        int pairs = 0, violating = 0;
        for (const ImportedCell& cell : r.cells)
        {
            pairs += cell.overlay ? 1 : 0;
            violating += cell.violations.empty() ? 0 : 1;
        }
        result += QStringLiteral("%1 (%2 x %3 at scale %4) give %5")
                      .arg(Count(static_cast<int>(r.cells.size()), "cell", "cells"))
                      .arg(r.columns)
                      .arg(r.rows)
                      .arg(r.scale)
                      .arg(Count(r.spriteCount, "sprite", "sprites"));
        if (pairs > 0)
            result += QStringLiteral(", with %1").arg(Count(pairs, "overlay pair", "overlay pairs"));
        result += QStringLiteral(".");
        if (r.fillerCells > 0)
            result += QStringLiteral(" The %1 after the last sprite of the sheet %2 left out.")
                          .arg(Count(r.fillerCells, "empty cell", "empty cells"))
                          .arg(r.fillerCells == 1 ? QStringLiteral("is") : QStringLiteral("are"));
        result += QStringLiteral("<br>");
        if (r.violations > 0)
            result +=
                Warning(this, QStringLiteral("%1 in %2 cannot be shown exactly (outlined in red); each takes "
                                             "the nearest colour its sprite can show.")
                                  .arg(Count(r.violations, "pixel", "pixels"))
                                  .arg(Count(violating, "cell", "cells")));
        else
            result += QStringLiteral("Every pixel is shown exactly.");

        const SpriteBank& bank = m_host.document().bank;
        const int first = FirstSlot();
        if (r.spriteCount == 0)
        {
            placement = Warning(
                this, QStringLiteral("The picture holds no sprite, only the empty cells of a sheet."));
            break;
        }
        const int last = first + r.spriteCount - 1;
        placement =
            r.spriteCount == 1
                ? QStringLiteral("The sprite goes into slot %1, the current sprite, and replaces it.")
                      .arg(first)
                : QStringLiteral("The sprites go into slots %1 to %2, from the current sprite on, and "
                                 "replace what is there.")
                      .arg(first)
                      .arg(last);
        if (last + 1 > bank.spriteCount)
            placement += QStringLiteral(" Quantity rises from %1 to %2 to hold them.")
                             .arg(bank.spriteCount)
                             .arg(last + 1);
        if (r.cellsLeftOut > 0)
            placement +=
                QStringLiteral(" ") +
                Warning(this, QStringLiteral("%1 no slot before the last (255) and %2 left out: choose an "
                                             "earlier current sprite or a lower Count.")
                                  .arg(Count(r.cellsLeftOut, "cell finds", "cells find"))
                                  .arg(r.cellsLeftOut == 1 ? QStringLiteral("is") : QStringLiteral("are")));
        if (kept || (r.background == (bank.colourTransp & kAttrColourMask) &&
                     r.multi1 == (bank.colourMulti1 & kAttrColourMask) &&
                     r.multi2 == (bank.colourMulti2 & kAttrColourMask)))
            placement += QStringLiteral(" The shared colours stay as they are.");
        else
            placement += QStringLiteral(" The shared colours become %1, %2 and %3.")
                             .arg(ColourText(r.background), ColourText(r.multi1), ColourText(r.multi2));
        break;
    }
    }
    Label_Result->setText(result);
    Label_Placement->setText(placement);
    // The wrapped words are never cut, however narrow the window is made: the box is as
    // tall as they are at its narrowest, and at any width each line takes what it needs.
    GroupBox_Result->setMinimumHeight(
        std::max(0, GroupBox_Result->heightForWidth(GroupBox_Result->minimumSizeHint().width())));
    Btn_OK->setEnabled(ok && r.spriteCount > 0);
    DrawViews();
}

void TFormImportImage::DrawViews()
{
    const int zoom = Spin_Zoom->value();
    std::vector<int> tops;
    int width = 0, height = 0;
    for (const RgbaImage& frame : m_frames)
    {
        if (!tops.empty()) height += kFrameSpacing;
        tops.push_back(height);
        width = std::max(width, frame.width * zoom);
        height += frame.height * zoom;
    }
    if (m_frames.empty())
    {
        m_pictureView = m_resultView = QImage();
        PaintBox_Picture->resize(0, 0);
        PaintBox_Result->resize(0, 0);
        return;
    }

    const QColor around = palette().color(QPalette::Dark);
    const bool drawable = static_cast<long long>(width) * height <= kMostDrawnPixels;
    m_pictureView = drawable ? QImage(width, height, QImage::Format_RGB32) : QImage();
    m_resultView = drawable ? QImage(width, height, QImage::Format_RGB32) : QImage();
    if (m_pictureView.isNull() || m_resultView.isNull())
    {
        // Too large to draw: the labels still say what the settings give.
        m_pictureView = m_resultView = QImage();
        PaintBox_Picture->resize(0, 0);
        PaintBox_Result->resize(0, 0);
        return;
    }
    m_pictureView.fill(around);
    m_resultView.fill(around);

    // The picture over a checkerboard, where it is transparent.
    QPainter picture(&m_pictureView);
    const QBrush checkers = Checkerboard();
    for (std::size_t f = 0; f < m_frames.size(); ++f)
    {
        const QRect place(0, tops[f], m_frames[f].width * zoom, m_frames[f].height * zoom);
        picture.fillRect(place, checkers);
        picture.drawImage(place, FrameImage(m_frames[f]));
    }

    QPainter sprites(&m_resultView);
    const ImageImportResult& r = m_result;
    if (r.status == ImportStatus::Ok)
    {
        // The sprites, each drawn as the browser draws it, at the place of its cell.
        std::vector<u8> block(kBlockBytes, 0);
        PlaceImportedSprites(r, block.data(), 0);
        SpriteBank bank{};
        bank.sprites = block.data();
        bank.spriteCount = r.spriteCount;
        bank.colourTransp = static_cast<u8>(r.background);
        bank.colourMulti1 = static_cast<u8>(r.multi1);
        bank.colourMulti2 = static_cast<u8>(r.multi2);
        const std::uint32_t* colours = m_palettes[static_cast<std::size_t>(r.palette)].colours;
        const int cellWidth = kSpriteWidth * r.scale * zoom;
        const int cellHeight = kSpriteHeight * r.scale * zoom;
        const QBrush leftOut(QColor(0x90, 0x90, 0x90), Qt::BDiagPattern);
        for (const ImportedCell& cell : r.cells)
        {
            const QRect place(cell.x * zoom, tops[static_cast<std::size_t>(cell.frame)] + cell.y * zoom,
                              cellWidth, cellHeight);
            if (cell.slot < 0)
            {
                sprites.fillRect(place, leftOut);
            }
            else
            {
                const QImage drawn = ToQImage(RenderSheet(bank, cell.slot, cell.slot, 1, 1, colours));
                sprites.drawImage(place, drawn);
            }
            GridLine(picture, place);
        }
        // Every pixel shown otherwise than the picture has it, in both views.
        const QColor red(0xFF, 0x20, 0x20);
        for (const ImportedCell& cell : r.cells)
        {
            if (cell.violations.empty()) continue;
            const int top = tops[static_cast<std::size_t>(cell.frame)];
            OutlineViolations(picture, cell, r.scale, zoom, top, red);
            OutlineViolations(sprites, cell, r.scale, zoom, top, red);
        }
    }
    picture.end();
    sprites.end();
    PaintBox_Picture->resize(width, height);
    PaintBox_Result->resize(width, height);
    PaintBox_Picture->update();
    PaintBox_Result->update();
}

void TFormImportImage::Btn_OKClick()
{
    const ImageImportResult& r = m_result;
    if (r.status != ImportStatus::Ok || r.spriteCount <= 0) return;
    SpriteBank& bank = m_host.document().bank;
    const int first = FirstSlot();
    const int placed = PlaceImportedSprites(r, bank.sprites, first);
    if (placed <= 0) return;
    bank.spriteCount = std::max(static_cast<int>(bank.spriteCount), first + placed);
    if (Chk_SetColours->isChecked())
    {
        bank.colourTransp = static_cast<u8>(r.background);
        bank.colourMulti1 = static_cast<u8>(r.multi1);
        bank.colourMulti2 = static_cast<u8>(r.multi2);
    }
    // The imported sprites become the selection.
    bank.currentSprite = bank.rangeStart = first;
    bank.rangeEnd = first + placed - 1;
    m_host.documentChanged(true);
    accept();
}
