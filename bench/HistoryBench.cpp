// The card's history and its recovery copy on the benchmark card of 100
// layers with 20 photos of 1600 × 1200: one undo or redo step until the
// surface is repainted (under 5 ms), deleting a photo layer and undoing it
// (under 10 ms), what 1,000 steps of history cost beside the pictures they
// keep (under 10 MB), and the longest the window waits while the recovery
// copy of a card with a 4.5 MB photo is written (under 20 ms).
#include "bench/HundredLayerCard.h"

#include "document/RecoveryCopy.h"
#include "editor/CardElement.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <malloc.h>

namespace {

// Until what the step changed is painted, as the window paints it: the
// areas it marked, not the whole card box.
void paintNow(Tfrm_Child*)
{
    QApplication::processEvents();
}

// A property step on a shape, then undo and redo in turn, each until the
// card box has been painted again.
void BM_UndoRedoStep(benchmark::State& state)
{
    QMdiArea area;
    area.resize(1200, 800);
    area.show();
    Tfrm_Child* child = hundredLayerCard(area);
    child->document().setCurrent(child->Tbl().StoredId(50));
    child->action("aV3")->trigger();
    paintNow(child);
    bool undo = true;
    for (auto _ : state) {
        child->action(undo ? "aVisszavonas" : "aMegis")->trigger();
        paintNow(child);
        undo = !undo;
    }
    state.SetLabel("per step, painted");
}
BENCHMARK(BM_UndoRedoStep)->Unit(benchmark::kMillisecond)->MinTime(2);

// "Réteg törlése" on a photo layer and its undo, each painted.
void BM_DeletePhotoAndUndo(benchmark::State& state)
{
    QMdiArea area;
    area.resize(1200, 800);
    area.show();
    Tfrm_Child* child = hundredLayerCard(area);
    QElapsedTimer timer;
    double worstDelete = 0, worstUndo = 0;
    for (auto _ : state) {
        child->document().setCurrent(child->Tbl().StoredId(49));  // the tenth photo
        timer.start();
        child->action("aTorol")->trigger();
        paintNow(child);
        worstDelete = std::max(worstDelete, timer.nsecsElapsed() / 1e6);
        timer.start();
        child->action("aVisszavonas")->trigger();
        paintNow(child);
        worstUndo = std::max(worstUndo, timer.nsecsElapsed() / 1e6);
    }
    state.counters["delete_max_ms"] = worstDelete;
    state.counters["undo_max_ms"] = worstUndo;
    state.SetLabel("delete and undo, painted");
}
BENCHMARK(BM_DeletePhotoAndUndo)->Unit(benchmark::kMillisecond)->MinTime(2);

// 1,000 steps on the document: moves, property changes and deletes of
// photo layers, in turn. The heap's growth is what the history costs: the
// deleted photos' bytes leave the table for the history, shared, and add
// nothing.
void BM_HistoryOfThousandSteps(benchmark::State& state)
{
    QMdiArea area;
    area.resize(1200, 800);
    area.show();
    Tfrm_Child* card = hundredLayerCard(area);
    QTemporaryDir dir;
    card->SaveCard(dir.filePath("card.bcrd"));
    std::size_t grown = 0;
    std::size_t pictures = 0;
    for (auto _ : state) {
        CardDocument document;
        document.load(dir.filePath("card.bcrd"));
        const LayerTable& table = document.table();
        const int kep = table.FieldIndex(Field::kep);
        ::malloc_trim(0);
        const std::size_t before = mallinfo2().uordblks;
        pictures = 0;
        for (int step = 0; step < 1000; ++step) {
            const CardDocument::LayerId layer = table.StoredId(step % table.StoredCount());
            switch (step % 3) {
            case 0:
                document.change(layer, {{Field::left, step % 300}, {Field::top, step % 170}}, "Mozgatás");
                break;
            case 1:
                document.change(layer, {{Field::brushcolor, step * 7919}}, "Ecset színe");
                break;
            default:
                for (int row = 0; row < table.StoredCount(); ++row) {
                    if (const auto* photo = std::get_if<Blob>(&table.StoredValue(row, kep))) {
                        pictures += photo->bytes().size();
                        document.removeLayer(table.StoredId(row), "Réteg törlése");
                        break;
                    }
                }
                if (document.history().count() == step)
                    document.change(layer, {{Field::szin, step}}, "Szín");
                break;
            }
        }
        grown = mallinfo2().uordblks - before;
        benchmark::DoNotOptimize(document.history().count());
    }
    state.counters["history_MB"] = grown / 1e6;
    state.counters["kept_pictures_MB"] = pictures / 1e6;
}
BENCHMARK(BM_HistoryOfThousandSteps)->Unit(benchmark::kMillisecond)->Iterations(2);

// The recovery copy of a card with a 4.5 MB photo: the longest the event
// loop stops between the copy being due and its being written, as a timer
// firing every millisecond sees it.
void BM_RecoveryCopyStall(benchmark::State& state)
{
    QMdiArea area;
    area.resize(1200, 800);
    area.show();
    Tfrm_Child* child = newWindow(area);
    const QByteArray photo = jpegBytes({4000, 3000}, 4600 * 1000);
    LayerTable card = benchTable();
    addLayer(card, 1, 1,
             {{Field::kep, Blob{photo.toStdString()}}, {Field::keptip, std::string(".jpg")}, {Field::width, 300},
              {Field::height, 170}, {Field::strech, true}});
    openTable(child, card);
    child->document().history().push(new QUndoCommand(QStringLiteral("Változás")));
    QApplication::processEvents();  // the photo decoded and painted first
    QTemporaryDir dir;
    RecoveryCopy copy(child->document(), dir.filePath("card1.bcrd"), [] { return QStringLiteral("Névtelen.bcrd"); });
    double worst = 0;
    double took = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        QElapsedTimer sinceTick;
        qint64 longest = 0;
        int ticks = 0;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        ticker.setInterval(1);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longest = std::max(longest, sinceTick.nsecsElapsed());
            sinceTick.restart();
            ++ticks;
        });
        bool written = false;
        const auto done = QObject::connect(&copy, &RecoveryCopy::written, [&] { written = true; });
        ticker.start();
        clock.start();
        sinceTick.start();
        copy.writeSoon();
        while (!written)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        longest = std::max(longest, sinceTick.nsecsElapsed());
        took = std::max(took, clock.nsecsElapsed() / 1e6);
        state.counters["ticks"] = ticks;
        worst = std::max(worst, longest / 1e6);
        QObject::disconnect(done);
    }
    state.counters["longest_stop_ms"] = worst;
    state.counters["copy_written_ms"] = took;
    state.counters["photo_MB"] = photo.size() / 1e6;
}
BENCHMARK(BM_RecoveryCopyStall)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
