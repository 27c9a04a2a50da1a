// The object editor's path a user feels: one mouse move of a stroke on an 8 x 8 object
// with an overlay layer at 16x, painted, the main window following and both windows
// repainted, next to a full repaint of the same canvas alone.
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QTest>

#include "bench/BenchSupport.h"
#include "core/SpriteBankStore.h"
#include "ui/Form1.h"
#include "ui/tools/FormObject.h"
#include "ui/tools/ObjectCanvas.h"

using namespace kelmora;

namespace bench
{

namespace
{

constexpr int kZoom = 16;
// The stroke runs row by row through this block of picture pixels, all on show.
constexpr int kLeft = 4, kTop = 4, kWidth = 18, kHeight = 24;

TFormObject* gEditor = nullptr;

// The object editor of the benchmark window, on an 8 x 8 object of sprites 0..63 with
// an overlay layer in 64..127, at 16x, scrolled to its top left corner.
TFormObject* Editor()
{
    if (gEditor != nullptr) return gEditor;
    TForm1* window = Window();
    SpriteObject object = *MakeObject("bench", 0, 8, 8);
    AddOverlayLayer(object, 64);
    window->document().extras.objects = {object};
    window->RefreshAll();
    window->findChild<QAction*>(QStringLiteral("Mnu_ObjectEditor"))->trigger();
    gEditor = window->findChild<TFormObject*>();
    gEditor->resize(1000, 760);
    (void)QTest::qWaitForWindowExposed(gEditor);
    gEditor->SetZoom(kZoom, QPoint(0, 0));
    QCoreApplication::processEvents();
    return gEditor;
}

void Move(QWidget* canvas, QPoint picture)
{
    const QPointF at(picture.x() * kZoom + kZoom / 2, picture.y() * kZoom + kZoom / 2);
    QMouseEvent move(QEvent::MouseMove, at, canvas->mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(canvas, &move);
}

// One pointer move of a Paintbrush 2 stroke, and everything it causes up to the
// repainted windows. Each move lands two picture pixels on (a new pixel in multicolour
// cells too); once the block is covered the stroke ends and the next one paints it with
// the other pen. (The check that the moves paint costs a copy of the sprites each.)
void StrokeEvent(benchmark::State& state)
{
    TFormObject* editor = Editor();
    auto* canvas = editor->findChild<TObjectCanvas*>(QStringLiteral("Canvas_Object"));
    editor->SelectTool(TFormObject::Tool::Brush2);
    int pen = 2, step = 0;
    editor->SelectPen(pen);
    QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(kLeft * kZoom + 2, kTop * kZoom + 2));
    QCoreApplication::processEvents();
    std::vector<u8> before(kBlockBytes);
    int painted = 0, events = 0;
    for (auto _ : state)
    {
        std::copy(Window()->document().bank.sprites, Window()->document().bank.sprites + kBlockBytes,
                  before.begin());
        const QPoint p(kLeft + 2 * (step % kWidth), kTop + (step / kWidth) * 3 % kHeight);
        Move(canvas, p);
        QCoreApplication::processEvents();
        ++events;
        painted += !std::equal(before.begin(), before.end(), Window()->document().bank.sprites);
        if (++step == kWidth * kHeight / 3)
        {
            state.PauseTiming();
            QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
            pen = 2 - pen;
            editor->SelectPen(pen);
            step = 0;
            QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier,
                              QPoint(kLeft * kZoom + 2, kTop * kZoom + 2));
            QCoreApplication::processEvents();
            state.ResumeTiming();
        }
    }
    QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    QCoreApplication::processEvents();
    // The figure is of strokes that paint: a stroke of moves that change nothing would be cheaper.
    if (events > 100 && painted * 4 < events * 3) state.SkipWithError("most stroke events painted nothing");
}

// The whole canvas repainted, as much of it as the view shows.
void FullRepaint(benchmark::State& state)
{
    TFormObject* editor = Editor();
    auto* canvas = editor->findChild<TObjectCanvas*>(QStringLiteral("Canvas_Object"));
    for (auto _ : state)
    {
        canvas->repaint();
        benchmark::ClobberMemory();
    }
}

} // namespace

void RegisterObjectEditorBenchmarks()
{
    Rows().push_back(
        TimeRow("Object editor, 8 x 8 object at 16x: one stroke event, repainted with the main window",
                "ObjectEditor/strokeEvent", "ObjectEditor/fullRepaint", 2e6, 0));
    benchmark::RegisterBenchmark("ObjectEditor/strokeEvent", StrokeEvent);
    benchmark::RegisterBenchmark("ObjectEditor/fullRepaint", FullRepaint);
}

} // namespace bench
