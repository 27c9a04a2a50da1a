// The main window's palettes and views: the editor, the preview, the browser and
// the palette strip, all drawn into off-screen images and copied to the screen.
#include "ui/Form1.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStatusBar>
#include <QStringList>

#include <cstring>

#include "core/Palette.h"
#include "core/Render.h"
#include "ui/FileNames.h"
#include "ui/Widgets.h"

using namespace kelmora;

namespace
{

inline std::uint32_t Opaque(std::uint32_t rgb)
{
    return 0xFF000000u | rgb;
}

// The pixels of a 32-bit image, taken once per drawing step: QImage::scanLine() checks
// for sharing on every call, which costs more than the row it returns.
struct Pixels
{
    std::uint32_t* first;
    std::ptrdiff_t stride; // pixels from one row to the next
    int width;
    int height;

    explicit Pixels(QImage& image)
        : first(reinterpret_cast<std::uint32_t*>(image.bits())),
          stride(image.bytesPerLine() / static_cast<qsizetype>(sizeof(std::uint32_t))), width(image.width()),
          height(image.height())
    {
    }
    std::uint32_t* row(int y) const { return first + y * stride; }
};

struct ConstPixels
{
    const std::uint32_t* first;
    std::ptrdiff_t stride;
    int width;
    int height;

    explicit ConstPixels(const QImage& image)
        : first(reinterpret_cast<const std::uint32_t*>(image.constBits())),
          stride(image.bytesPerLine() / static_cast<qsizetype>(sizeof(std::uint32_t))), width(image.width()),
          height(image.height())
    {
    }
    const std::uint32_t* row(int y) const { return first + y * stride; }
};

// Every source pixel becomes a Factor x Factor block, starting at the destination's top-left.
template <int Factor> void Stretch(QImage& destination, const QImage& source)
{
    const ConstPixels in(source);
    const Pixels out(destination);
    const std::size_t bytes = static_cast<std::size_t>(in.width) * Factor * sizeof(std::uint32_t);
    for (int y = 0; y < in.height; ++y)
    {
        const std::uint32_t* from = in.row(y);
        std::uint32_t* to = out.row(y * Factor);
        for (int x = 0; x < in.width; ++x)
        {
            const std::uint32_t pixel = from[x];
            std::uint32_t* block = to + x * Factor;
            for (int k = 0; k < Factor; ++k)
                block[k] = pixel;
        }
        for (int k = 1; k < Factor; ++k)
            std::memcpy(out.row(y * Factor + k), to, bytes);
    }
}

void CopyInto(QImage& destination, const QImage& source, int left, int top)
{
    const ConstPixels in(source);
    const Pixels out(destination);
    const std::size_t bytes = static_cast<std::size_t>(in.width) * sizeof(std::uint32_t);
    for (int y = 0; y < in.height; ++y)
        std::memcpy(out.row(top + y) + left, in.row(y), bytes);
}

void VerticalLine(const Pixels& image, int x, std::uint32_t colour)
{
    for (int y = 0; y < image.height; ++y)
        image.row(y)[x] = colour;
}

void HorizontalLine(const Pixels& image, int y, std::uint32_t colour)
{
    std::uint32_t* row = image.row(y);
    for (int x = 0; x < image.width; ++x)
        row[x] = colour;
}

} // namespace

// ---- Palettes ----

void TForm1::SetPalette(const std::uint32_t colours[kPaletteColours])
{
    BuildPaletteTables(colours, Palette);
    for (int i = 0; i < kPaletteColours; ++i)
    {
        BaseArgb[i] = Opaque(Palette.base[i]);
        HighlightArgb[i] = Opaque(Palette.highlight[i]);
    }
    PaintBox_Palette->update();
    RefreshAll();
}

QColor TForm1::ScreenColour(int colourNumber) const
{
    return QColor::fromRgb(Opaque(ScreenToRgb(Palette.screen[colourNumber & 15])));
}

int TForm1::LoadPaletteFile(const QString& path)
{
    NamedPalette found[kMaxLoadedPalettes];
    PaletteReadNotes notes;
    const int kept = ReadPalettes(CorePath(path).constData(), found, kMaxLoadedPalettes, nullptr, &notes);
    // What the file held but could not give is said in the status bar, not dropped unseen.
    QStringList skipped;
    for (const std::string& warning : SkippedPaletteWarnings(notes))
        skipped.append(QString::fromStdString(warning));
    if (!skipped.isEmpty())
        statusBar()->showMessage(QFileInfo(path).fileName() + QStringLiteral(": ") +
                                 skipped.join(QStringLiteral("; ")) + QLatin1Char('.'));
    if (kept <= 0) return 0;
    if (LoadedPalettes.empty())
    {
        QAction* separator = ColourPalette1->addSeparator();
        separator->setObjectName(QStringLiteral("Sep1"));
    }
    int added = 0;
    for (int k = 0; k < kept && LoadedPalettes.size() < static_cast<std::size_t>(kMaxLoadedPalettes); ++k)
    {
        const int number = static_cast<int>(LoadedPalettes.size());
        LoadedPalettes.push_back(found[k]);
        QAction* item = ColourPalette1->addAction(QString::fromUtf8(found[k].name.c_str()));
        item->setObjectName(QStringLiteral("Palette_%1").arg(number));
        item->setData(number);
        item->setCheckable(true);
        PaletteGroup->addAction(item);
        connect(item, &QAction::triggered, this, [this, item] { PaletteItemClick(item); });
        ++added;
    }
    return added;
}

void TForm1::PalVantorClick()
{
    PalVantor->setChecked(true);
    SetPalette(kBuiltInPalette);
}

void TForm1::PaletteItemClick(QAction* sender)
{
    if (!sender) return;
    const int number = sender->data().toInt();
    if (number < 0 || number >= static_cast<int>(LoadedPalettes.size())) return;
    sender->setChecked(true);
    SetPalette(LoadedPalettes[number].colours);
}

const int* TForm1::PaletteOrder() const
{
    return Mnu_PalOrderStandard->isChecked() ? kStandardOrder : kLuminancePairsOrder;
}

int TForm1::ColourAtStripPoint(int x, int y) const
{
    if (x < 0 || y < 0 || x >= 192 || y >= 32) return -1;
    return PaletteOrder()[x / 24 + 8 * (y / 16)];
}

void TForm1::Mnu_PalOrderStandardClick()
{
    Mnu_PalOrderStandard->setChecked(true);
    PaintBox_Palette->update();
}

void TForm1::Mnu_PalOrderLumPairsClick()
{
    Mnu_PalOrderLumPairs->setChecked(true);
    PaintBox_Palette->update();
}

void TForm1::DrawPaletteStrip(QPainter& painter)
{
    const int* order = PaletteOrder();
    for (int k = 0; k < kPaletteColours; ++k)
        painter.fillRect(24 * (k % 8), 16 * (k / 8), 24, 16, ScreenColour(order[k]));
}

// ---- Views ----

void TForm1::RenderSprite(const u8* data, int index, QImage& bitmap, int flags)
{
    RenderColours colours{
        {m_doc.bank.colourTransp, m_doc.bank.colourMulti1, m_doc.bank.colourSprite, m_doc.bank.colourMulti2},
        BaseArgb,
        HighlightArgb};
    const Pixels out(bitmap);
    RenderSpritePixels(data, index, m_doc.bank.spriteCount, colours, flags, out.first,
                       static_cast<int>(out.stride));
}

void TForm1::ScanlineDouble(QImage& destination, const QImage& source)
{
    const ConstPixels in(source);
    const Pixels out(destination);
    for (int i = 0; i < in.height; ++i)
    {
        const std::uint32_t* from = in.row(i);
        std::uint32_t* to = out.row(2 * i);
        for (int j = 0; j < in.width; ++j)
            to[2 * j] = to[2 * j + 1] = from[j];
        std::uint32_t* black = out.row(2 * i + 1);
        for (int j = 0; j < out.width; ++j)
            black[j] = 0xFF000000u;
    }
}

void TForm1::DrawPreview()
{
    if (PreviewFrame.isNull() || !m_doc.bank.sprites) return;
    PreviewFrame.fill(ScreenColour(m_doc.bank.colourTransp));
    RenderSprite(m_doc.bank.sprites, m_doc.bank.currentSprite, SpriteBitmap, 0);
    if (Chk_OverlayNext->isChecked() && m_doc.bank.currentSprite < 255)
        RenderSprite(m_doc.bank.sprites, m_doc.bank.currentSprite + 1, SpriteBitmap, kRenderOverlay);
    CopyInto(PreviewFrame, SpriteBitmap, 5, 5);
    if (Mnu_DoubleScan->isChecked())
        Stretch<2>(PreviewBitmap, PreviewFrame);
    else
        ScanlineDouble(PreviewBitmap, PreviewFrame);
    PaintBox_Preview->update();
    Label1->setText(QString::asprintf("%03d ", m_doc.bank.currentSprite));
}

void TForm1::DrawEditor()
{
    if (EditorBitmap.isNull() || !m_doc.bank.sprites) return;
    RenderSprite(m_doc.bank.sprites, m_doc.bank.currentSprite, SpriteBitmap, 0);
    if (Chk_OverlayNext->isChecked() && m_doc.bank.currentSprite < 255)
        RenderSprite(m_doc.bank.sprites, m_doc.bank.currentSprite + 1, SpriteBitmap, kRenderOverlay);
    if (Mnu_OnionSkin->isChecked()) DrawOnionSkin(); // the editor alone shows it
    Stretch<8>(EditorBitmap, SpriteBitmap);

    const Pixels editor(EditorBitmap);
    if (CkShowGrid->isChecked())
    {
        const std::uint32_t grid = Opaque(ScreenToRgb(Palette.grid[m_doc.bank.colourTransp & 15]));
        const int step = Chk_MulticolourMode->isChecked() ? 16 : 8;
        for (int x = step - 1; x <= 191; x += step)
            VerticalLine(editor, x, grid);
        for (int y = 7; y <= 167; y += 8)
            HorizontalLine(editor, y, grid);
    }
    if (CkShowCross->isChecked())
    {
        const std::uint32_t orange = Opaque(0xFF7F00);
        const std::uint32_t red = Opaque(0xFF0000);
        VerticalLine(editor, 64, orange);
        VerticalLine(editor, 128, orange);
        VerticalLine(editor, 96, red);
        HorizontalLine(editor, 83, red);
        QPainter painter(&EditorBitmap);
        painter.setPen(QColor(255, 0, 0));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRect(12, 0, 167, 167));
    }
    PaintBox_Editor->update();
}

void TForm1::DrawBrowser()
{
    if (BrowserBitmap.isNull() || !m_doc.bank.sprites) return;
    const int top = ScrollBar_Browser->value();
    // Empty cells take the theme's shadow colour, kept dark so they never look like sprites.
    QColor shadow = palette().color(QPalette::Shadow);
    if (shadow.lightness() > 64) shadow = shadow.darker(250);
    for (int r = 0; r < 7; ++r)
    {
        for (int c = 0; c < 8; ++c)
        {
            const int index = 8 * (top + r) + c;
            if (index < m_doc.bank.spriteCount)
            {
                const int highlight =
                    (index >= m_doc.bank.rangeStart && index <= m_doc.bank.rangeEnd) ? kRenderHighlight : 0;
                RenderSprite(m_doc.bank.sprites, index, SpriteBitmap, highlight);
                if (IsOverlay(m_doc.bank.sprites, index) == 1)
                    RenderSprite(m_doc.bank.sprites, index + 1, SpriteBitmap, highlight | kRenderOverlay);
            }
            else
            {
                SpriteBitmap.fill(shadow);
            }
            CopyInto(BrowserFrame, SpriteBitmap, 24 * c, 21 * r);
        }
    }
    if (Mnu_DoubleScan->isChecked())
        Stretch<2>(BrowserBitmap, BrowserFrame);
    else
        ScanlineDouble(BrowserBitmap, BrowserFrame);

    if (CkShowGrid->isChecked())
    {
        const std::uint32_t grid = Opaque(ScreenToRgb(Palette.grid[m_doc.bank.colourTransp & 15]));
        const Pixels browser(BrowserBitmap);
        for (int k = 0; k < 8; ++k)
            VerticalLine(browser, 47 + 48 * k, grid);
        for (int k = 0; k < 7; ++k)
            HorizontalLine(browser, 41 + 42 * k, grid);
    }
    PaintBox_Browser->update();
}

// ---- Scroll bars and view options ----

void TForm1::ScrollBar1Change(int position)
{
    m_doc.bank.currentSprite = m_doc.bank.rangeStart = m_doc.bank.rangeEnd = position;
    RefreshAll();
}

void TForm1::ScrollBar_BrowserChange(int)
{
    DrawBrowser();
}

void TForm1::CkShowGridClick()
{
    RefreshAll();
}

void TForm1::CkShowCrossClick()
{
    RefreshAll();
}

void TForm1::Mnu_DoubleScanClick()
{
    RefreshAll();
}
