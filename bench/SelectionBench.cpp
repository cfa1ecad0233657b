// Several layers at once on the card of 100 layers with 20 photos: selecting
// them all, each mouse move of dragging them all together (with snapping
// and with Ctrl), and aligning or spacing them all with the undo of it,
// each until painted.
#include "bench/HundredLayerCard.h"
#include "document/Child.h"

#include "editor/CardElement.h"
#include "editor/CardSurface.h"

#include <QApplication>
#include <QMdiArea>
#include <QMouseEvent>
#include <QUndoStack>

#include <benchmark/benchmark.h>

namespace {

// Ctrl+A and back to one layer, painted.
void BM_SelectAllHundred(benchmark::State& state)
{
    QMdiArea area;
    area.resize(1200, 800);
    area.show();
    Tfrm_Child* child = hundredLayerCard(area);
    for (auto _ : state) {
        child->aMindetExecute();
        QApplication::processEvents();
        child->selectLayers({child->document().current()});
        QApplication::processEvents();
    }
    state.SetLabel("select all and back");
}
BENCHMARK(BM_SelectAllHundred)->Unit(benchmark::kMillisecond)->MinTime(2);

// All 100 layers selected and dragged by one of them at 100 %: each move
// handled, every element moved, the outlines and the handles following,
// and painted.
void BM_DragHundredSelectedMove(benchmark::State& state)
{
    const bool snapping = state.range(0) != 0;
    QMdiArea area;
    area.resize(1200, 800);
    area.show();
    Tfrm_Child* child = hundredLayerCard(area);
    child->aMindetExecute();
    QApplication::processEvents();
    CardElement* shape = child->findElement("c51");
    const Qt::KeyboardModifiers modifiers = snapping ? Qt::NoModifier : Qt::ControlModifier;
    const QPoint start(10, 10);
    QMouseEvent press(QEvent::MouseButtonPress, start, shape->mapToGlobal(start), Qt::LeftButton, Qt::LeftButton,
                      modifiers);
    QApplication::sendEvent(shape, &press);
    QApplication::processEvents();
    int step = 0;
    for (auto _ : state) {
        const QPoint to = start + QPoint((step++ % 40) < 20 ? 3 : -3, 1 - (step % 3));
        QMouseEvent move(QEvent::MouseMove, to, shape->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, modifiers);
        QApplication::sendEvent(shape, &move);
        QApplication::processEvents();
    }
    state.counters["selected"] = double(child->Selection().size());
    state.SetLabel(snapping ? "per mouse move, snapping" : "per mouse move, Ctrl (no snapping)");
}
BENCHMARK(BM_DragHundredSelectedMove)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond)->MinTime(2);

// One alignment or spacing of all 100 layers, painted, and its undo,
// painted.
void BM_AlignHundredAndUndo(benchmark::State& state)
{
    static const char* const commands[] = {"aIgazitBalra", "aIgazitFuggolegesen", "aElosztVizszintesen"};
    const char* command = commands[state.range(0)];
    QMdiArea area;
    area.resize(1200, 800);
    area.show();
    Tfrm_Child* child = hundredLayerCard(area);
    child->aMindetExecute();
    QApplication::processEvents();
    for (auto _ : state) {
        child->action(command)->trigger();
        QApplication::processEvents();
        child->document().history().undo();
        QApplication::processEvents();
    }
    state.counters["steps"] = child->document().history().count();
    state.SetLabel(std::string(command) + " and undo");
}
BENCHMARK(BM_AlignHundredAndUndo)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->MinTime(2);

} // namespace
