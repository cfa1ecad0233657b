// The card window's surface: rebuilding a card of 100 layers with 20 photos,
// one restacking step and one drag move over it (also at 400 %, with and
// without snapping), a zoom step, and opening a card whose
// photo is a 5 MB JPEG until the window is painted.
#include "bench/CardEmf.h"
#include "bench/HundredLayerCard.h"
#include "document/Child.h"

#include "editor/CardElement.h"
#include "editor/CardSurface.h"
#include "editor/Snapping.h"
#include "layer/LayerFields.h"
#include "layer/LayerRecord.h"
#include "layer/PictureDecoder.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QImageWriter>
#include <QMdiArea>
#include <QMouseEvent>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

namespace {

void BM_RebuildHundredLayers(benchmark::State& state)
{
    QMdiArea area;
    area.resize(1200, 800);
    area.show();
    Tfrm_Child* child = hundredLayerCard(area);
    for (auto _ : state) {
        child->RebuildElements();
        QApplication::processEvents();
    }
    state.counters["layers"] = child->Tbl().RecordTotal();
}
BENCHMARK(BM_RebuildHundredLayers)->Unit(benchmark::kMillisecond)->MinTime(2);

// One step up or down the stack of the 100-layer card, painted: the
// exchange, the sort and the rebuild of every element.
void BM_RestackStep(benchmark::State& state)
{
    QMdiArea area;
    area.resize(1200, 800);
    area.show();
    Tfrm_Child* child = hundredLayerCard(area);
    child->document().setCurrent(child->Tbl().StoredId(49));
    bool up = true;
    for (auto _ : state) {
        child->action(up ? "aFeljebb" : "aHatrabb")->trigger();
        QApplication::processEvents();
        up = !up;
    }
}
BENCHMARK(BM_RestackStep)->Unit(benchmark::kMillisecond)->MinTime(2);

// Dragging a shape over the 100-layer card: each mouse move, handled and
// the moved element's old and new area painted again.
void BM_DragElementMove(benchmark::State& state)
{
    QMdiArea area;
    area.resize(1200, 800);
    area.show();
    Tfrm_Child* child = hundredLayerCard(area);
    CardElement* shape = child->findElement("c51");
    const QPoint start(10, 10);
    QMouseEvent press(QEvent::MouseButtonPress, start, shape->mapToGlobal(start), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(shape, &press);
    QApplication::processEvents();
    int step = 0;
    for (auto _ : state) {
        const QPoint to = start + QPoint((step++ % 40) < 20 ? 3 : -3, 1 - (step % 3));
        QMouseEvent move(QEvent::MouseMove, to, shape->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(shape, &move);
        QApplication::processEvents();
    }
    state.SetLabel("per mouse move");
}
BENCHMARK(BM_DragElementMove)->Unit(benchmark::kMicrosecond)->MinTime(2);

// The same at 400 %, the window enlarged so that much of the card shows:
// with snapping (against the card and the 99 other layers, the guides
// drawn) and with Ctrl held, which turns it off; the difference is what
// snapping costs a move.
void BM_DragAtFourHundredPercent(benchmark::State& state)
{
    const bool snapping = state.range(0) != 0;
    QMdiArea area;
    area.resize(1600, 1000);
    area.show();
    Tfrm_Child* child = hundredLayerCard(area);
    child->resize(1500, 950);
    child->setZoom(400);
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
        // 2 card pixels a move, to and fro, and a little up and down.
        const QPoint to = start + QPoint((step++ % 40) < 20 ? 8 : -8, 4 * (1 - (step % 3)));
        QMouseEvent move(QEvent::MouseMove, to, shape->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, modifiers);
        QApplication::sendEvent(shape, &move);
        QApplication::processEvents();
    }
    state.counters["element_px"] = shape->width();
    state.counters["shown_px"] = child->Surface1->visibleRegion().boundingRect().width();
    state.SetLabel(snapping ? "per mouse move, snapping" : "per mouse move, Ctrl (no snapping)");
}
BENCHMARK(BM_DragAtFourHundredPercent)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond)->MinTime(2);

// Snapping alone: a box against the lines of the card and 100 layers.
void BM_SnapAgainstHundredLayers(benchmark::State& state)
{
    std::vector<QRect> others;
    for (int number = 1; number <= 100; ++number)
        others.emplace_back((number * 13) % 300, (number * 7) % 170, 40 + number % 50, 20 + number % 30);
    const SnapLines lines = snapLines({340, 190}, others);
    int step = 0;
    for (auto _ : state) {
        const QRect box(step % 300, (step * 3) % 170, 60, 25);
        benchmark::DoNotOptimize(snapBox(box, lines, 1.0, SnapEdges::Move));
        ++step;
    }
}
BENCHMARK(BM_SnapAgainstHundredLayers)->Unit(benchmark::kMicrosecond);

// One zoom step on the 100-layer card, every layer drawn again at the new
// size, until painted: up from 100 % to 400 % and back down; also with the
// decoded photos thrown away first, as on the first visit of a zoom.
void BM_ZoomStepUntilPainted(benchmark::State& state)
{
    const bool cold = state.range(0) != 0;
    QMdiArea area;
    area.resize(1600, 1000);
    area.show();
    Tfrm_Child* child = hundredLayerCard(area);
    child->resize(1500, 950);
    QApplication::processEvents();
    bool in = true;
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            clearPictureCache();
            state.ResumeTiming();
        }
        child->action(in ? "aNagyitas" : "aKicsinyites")->trigger();
        QApplication::processEvents();
        if (child->zoom() == 400)
            in = false;
        else if (child->zoom() == 100)
            in = true;
    }
    state.counters["shown_px"] = child->Surface1->visibleRegion().boundingRect().width();
    state.SetLabel(cold ? "per zoom step, photos decoded afresh" : "per zoom step");
}
BENCHMARK(BM_ZoomStepUntilPainted)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(3);

// Ctrl+K on a card with a 1600 × 1200 photo, two texts and a shape, until
// the preview window has painted the sheet.
void BM_PreviewUntilPainted(benchmark::State& state)
{
    const QByteArray photo = jpegBytes({1600, 1200}, 500 * 1000);
    QMdiArea area;
    area.resize(1200, 800);
    area.show();
    Tfrm_Child* child = newWindow(area);
    LayerTable card = benchTable();
    addLayer(card, 1, 1,
             {{Field::kep, Blob{photo.toStdString()}}, {Field::keptip, std::string(".jpg")}, {Field::width, 120},
              {Field::height, 90}, {Field::strech, true}});
    addLayer(card, 2, 0, {{Field::nev, std::string("Kovacs Arpad")}, {Field::left, 130}});
    addLayer(card, 3, 0, {{Field::nev, std::string("+36 30 123 4567")}, {Field::left, 130}, {Field::top, 60}});
    addLayer(card, 4, 2, {{Field::top, 170}, {Field::width, 340}, {Field::height, 20}, {Field::brushstyle, 4}});
    openTable(child, card);
    for (auto _ : state) {
        child->PreviewCard();
        QWidget* preview = QApplication::activeModalWidget();
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->windowTitle() == QStringLiteral("Lapora nyomtatás") && window->isVisible())
                preview = window;
        benchmark::DoNotOptimize(preview->grab());
        state.PauseTiming();
        delete preview;
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PreviewUntilPainted)->Unit(benchmark::kMillisecond)->MinTime(2);

// Opens the card in a new window until it is painted, its pictures decoded
// afresh each time.
void openUntilPainted(benchmark::State& state, const QString& path)
{
    QMdiArea area;
    area.resize(1200, 800);
    area.show();
    for (auto _ : state) {
        clearPictureCache();
        Tfrm_Child* child = newWindow(area);
        child->LoadCard(path);
        benchmark::DoNotOptimize(child->grab());
        state.PauseTiming();
        child->document().history().setClean();
        child->close();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

void BM_OpenCardWithLargePhotoUntilPainted(benchmark::State& state)
{
    const QByteArray photo = jpegBytes({4000, 3000}, 5 * 1000 * 1000);
    const QString path = QDir::temp().filePath("lapora-bench-photo.bcrd");
    {
        LayerTable table = makeLayerTable();
        table.OpenTable();
        addLayer(table, 1, 1,
                 {{Field::kep, Blob{photo.toStdString()}}, {Field::keptip, std::string(".jpg")}, {Field::width, 300},
                  {Field::height, 170}, {Field::strech, true}});
        table.SaveFile(path.toStdString());
    }
    openUntilPainted(state, path);
    state.counters["photo_MB"] = photo.size() / 1e6;
    QFile::remove(path);
}
BENCHMARK(BM_OpenCardWithLargePhotoUntilPainted)->Unit(benchmark::kMillisecond)->MinTime(3);

// The same with a 1 MB drawing of a few thousand records, stretched over
// the card.
void BM_OpenCardWithLargeMetafileUntilPainted(benchmark::State& state)
{
    const std::string emf = cardemf::makeCardEmf(cardemf::Everything);
    const QString path = QDir::temp().filePath("lapora-bench-emf.bcrd");
    {
        LayerTable table = makeLayerTable();
        table.OpenTable();
        addLayer(table, 1, 1,
                 {{Field::kep, Blob{emf}}, {Field::keptip, std::string(".emf")}, {Field::width, 340},
                  {Field::height, 190}, {Field::strech, true}});
        table.SaveFile(path.toStdString());
    }
    openUntilPainted(state, path);
    state.counters["emf_MB"] = emf.size() / 1e6;
    QFile::remove(path);
}
BENCHMARK(BM_OpenCardWithLargeMetafileUntilPainted)->Unit(benchmark::kMillisecond)->MinTime(3);

} // namespace
