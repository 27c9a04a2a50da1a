// The window paths: a full RefreshAll of the editor (also with the onion skin), one
// brush stroke event end to end, and the sprite renderer underneath both.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <ctime>
#include <vector>

#include "bench/BenchSupport.h"
#include "core/Palette.h"
#include "core/Render.h"
#include "core/SpriteBankStore.h"
#include "ui/Form1.h"
#include "ui/Widgets.h"
#include "ui/tools/FormOnionSkin.h"

using namespace kelmora;

namespace bench
{

namespace
{

TForm1* gWindow = nullptr;

// What one of the window's views shows, as the user sees it.
QImage Shown(TForm1& window, const char* view)
{
    return window.findChild<QWidget*>(QLatin1String(view))->grab().toImage();
}

// The sprite the window benchmarks edit: multicolour with the overlay flag, so the
// editor and preview draw its partner too.
constexpr int kCurrentSprite = 9;

void RefreshAllFigure(benchmark::State& state)
{
    TForm1* window = Window();
    for (auto _ : state)
    {
        window->RefreshAll();
        benchmark::ClobberMemory();
    }
    benchmark::DoNotOptimize(Shown(*window, "PaintBox_Browser").constBits());
}

// The bytes the three views leave in their images: preview, editor and browser.
void RefreshAllReference(benchmark::State& state)
{
    TForm1* window = Window();
    const std::size_t sizes[3] = {static_cast<std::size_t>(Shown(*window, "PaintBox_Preview").sizeInBytes()),
                                  static_cast<std::size_t>(Shown(*window, "PaintBox_Editor").sizeInBytes()),
                                  static_cast<std::size_t>(Shown(*window, "PaintBox_Browser").sizeInBytes())};
    std::vector<unsigned char> from[3], to[3];
    for (int k = 0; k < 3; ++k)
    {
        from[k].assign(sizes[k], static_cast<unsigned char>(k + 1));
        to[k].assign(sizes[k], 0);
    }
    for (auto _ : state)
    {
        for (int k = 0; k < 3; ++k)
        {
            benchmark::DoNotOptimize(from[k].data());
            std::memcpy(to[k].data(), from[k].data(), sizes[k]);
            benchmark::DoNotOptimize(to[k].data());
        }
        benchmark::ClobberMemory();
    }
}

double ThreadCpuNs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

// RefreshAll with the onion skin at its most (three frames back and three ahead) and
// without it, in turns, so both see the same machine: the counters are the mean CPU
// time of each, in microseconds.
void RefreshAllOnion(benchmark::State& state)
{
    TForm1* window = Window();
    QAction* onion = window->findChild<QAction*>(QStringLiteral("Mnu_OnionSkin"));
    QTimer::singleShot(0,
                       []
                       {
                           auto* settings = qobject_cast<TFormOnionSkin*>(QApplication::activeModalWidget());
                           if (!settings) return;
                           settings->Spin_OnionFrames->setValue(3);
                           settings->Chk_OnionAhead->setChecked(true);
                           settings->accept();
                       });
    window->Mnu_OnionSkinSettingsClick();
    double with = 0, without = 0;
    for (auto _ : state)
    {
        onion->setChecked(true);
        const double start = ThreadCpuNs();
        window->RefreshAll();
        const double middle = ThreadCpuNs();
        onion->setChecked(false);
        window->RefreshAll();
        const double end = ThreadCpuNs();
        with += middle - start;
        without += end - middle;
        benchmark::ClobberMemory();
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["with_us"] = with / runs / 1e3;
    state.counters["without_us"] = without / runs / 1e3;
}

// One mouse move with the left button held over the editor, and everything it causes
// up to the repainted window (the posted paints are processed after each event).
void Stroke(benchmark::State& state, bool connected)
{
    TForm1* window = Window();
    TPaintBox* editor = window->findChild<TPaintBox*>(QStringLiteral("PaintBox_Editor"));
    if (!connected)
        QObject::disconnect(editor, &TPaintBox::mouseMove, window, &TForm1::PaintBox_EditorMouseMove);
    QTest::mousePress(editor, Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
    QCoreApplication::processEvents();
    int cell = 0;
    for (auto _ : state)
    {
        // Every event lands on another sprite pixel, so each one paints.
        const QPointF at(8 * (cell % 24) + 4, 8 * ((cell / 24) % 21) + 4);
        ++cell;
        QMouseEvent move(QEvent::MouseMove, at, editor->mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(editor, &move);
        QCoreApplication::processEvents();
    }
    QTest::mouseRelease(editor, Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
    QCoreApplication::processEvents();
    if (!connected)
        QObject::connect(editor, &TPaintBox::mouseMove, window, &TForm1::PaintBox_EditorMouseMove);
    benchmark::DoNotOptimize(window->document().bank.sprites[kCurrentSprite * kSpriteBytes]);
}

struct RenderSetup
{
    std::vector<u8> block = std::vector<u8>(kBlockBytes);
    PaletteTables tables{};
    RenderColours colours{};
    std::uint32_t pixels[kSpriteHeight * kSpriteWidth] = {};

    RenderSetup()
    {
        FillSampleBank(block.data());
        BuildPaletteTables(kBuiltInPalette, tables);
        colours = RenderColours{{11, 0, 5, 1}, tables.base, tables.highlight};
    }
};

void RenderSpriteFigure(benchmark::State& state, bool multicolour)
{
    RenderSetup setup;
    // Sample sprites alternate: odd slots are multicolour, even ones hires.
    const int index = multicolour ? 1 : 2;
    if ((IsMulticolour(setup.block.data(), index) == 1) != multicolour)
        state.SkipWithError("sample bank changed");
    for (auto _ : state)
    {
        RenderSpritePixels(setup.block.data(), index, kSlotCount, setup.colours, 0, setup.pixels,
                           kSpriteWidth);
        benchmark::DoNotOptimize(setup.pixels);
        benchmark::ClobberMemory();
    }
}

// The same 504 pixels written by a plain loop, row by row.
void RenderSpriteReference(benchmark::State& state)
{
    RenderSetup setup;
    std::uint32_t colour = setup.tables.base[5];
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(colour);
        for (int y = 0; y < kSpriteHeight; ++y)
        {
            std::uint32_t* row = setup.pixels + y * kSpriteWidth;
            for (int x = 0; x < kSpriteWidth; ++x)
                row[x] = colour;
        }
        benchmark::DoNotOptimize(setup.pixels);
        benchmark::ClobberMemory();
    }
}

} // namespace

void FillSampleBank(u8* block)
{
    std::uint32_t seed = 0x2545F491u;
    for (int i = 0; i < kSlotCount; ++i)
    {
        u8* sprite = block + i * kSpriteBytes;
        for (int b = 0; b < kPixelBytes; ++b)
        {
            seed = seed * 1664525u + 1013904223u;
            sprite[b] = static_cast<u8>(seed >> 24);
        }
        u8 attribute = static_cast<u8>(i & kAttrColourMask);
        if (i % 2 == 1) attribute |= kAttrMulticolour;
        if (i % 3 == 0) attribute |= kAttrOverlay;
        sprite[kAttributeByte] = attribute;
    }
}

TForm1* Window()
{
    if (gWindow) return gWindow;
    gWindow = new TForm1(QStringList{});
    gWindow->show();
    gWindow->activateWindow();
    (void)QTest::qWaitForWindowExposed(gWindow);
    FillSampleBank(gWindow->document().bank.sprites);
    gWindow->findChild<QLineEdit*>(QStringLiteral("Edit2"))->setText(QString::number(kSlotCount));
    gWindow->Edit2KeyPress(Qt::Key_Return);
    gWindow->findChild<QScrollBar*>(QStringLiteral("ScrollBar1"))->setValue(kCurrentSprite);
    RestartHistory(gWindow->document());
    gWindow->RefreshAll();
    QCoreApplication::processEvents();
    return gWindow;
}

void ReleaseWindow()
{
    if (!gWindow) return;
    delete gWindow;
    gWindow = nullptr;
}

void RegisterViewBenchmarks()
{
    Rows().push_back(TimeRow("Full RefreshAll (preview, editor, browser, controls)", "RefreshAll/figure",
                             "RefreshAll/reference", 200e3, 6));
    benchmark::RegisterBenchmark("RefreshAll/figure", RefreshAllFigure);
    benchmark::RegisterBenchmark("RefreshAll/reference", RefreshAllReference);

    Row onion;
    onion.path = "Full RefreshAll with the onion skin (3 frames back, 3 ahead) against without";
    onion.figure = "RefreshAll/onion";
    onion.counter = "with_us";
    onion.referenceCounter = "without_us";
    onion.deltaLimit = 50;
    onion.unit = "µs";
    Rows().push_back(onion);
    benchmark::RegisterBenchmark("RefreshAll/onion", RefreshAllOnion);

    Rows().push_back(TimeRow("One brush stroke event, end to end, repainted", "Stroke/figure",
                             "Stroke/reference", 0.5e6, 0));
    benchmark::RegisterBenchmark("Stroke/figure", Stroke, true);
    benchmark::RegisterBenchmark("Stroke/reference", Stroke, false);

    Rows().push_back(
        TimeRow("RenderSprite, hires sprite", "RenderSprite/hires", "RenderSprite/reference", 0, 2));
    Rows().push_back(TimeRow("RenderSprite, multicolour sprite", "RenderSprite/multicolour",
                             "RenderSprite/reference", 0, 2));
    benchmark::RegisterBenchmark("RenderSprite/hires", RenderSpriteFigure, false);
    benchmark::RegisterBenchmark("RenderSprite/multicolour", RenderSpriteFigure, true);
    benchmark::RegisterBenchmark("RenderSprite/reference", RenderSpriteReference);
}

std::vector<Row>& Rows()
{
    static std::vector<Row> rows;
    return rows;
}

} // namespace bench
