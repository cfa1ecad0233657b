// Playing a 1 MB enhanced metafile of a few thousand records onto a
// card-sized image, laid out as drawing programs write them: one photo of
// about 400 KB, filled polygons with a null pen and every fourth one
// outlined, hatched boxes, and a line of text every few figures.
#include "bench/CardEmf.h"
#include "metafile/Metafile.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <cstdint>
#include <string>

namespace {

using namespace cardemf;

void ensureApplication()
{
    static int argc = 1;
    static char name[] = "metafile_bench";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
}

void BM_PlayCardEmf(benchmark::State& state)
{
    ensureApplication();
    const std::string emf = makeCardEmf(static_cast<int>(state.range(0)));
    QImage image(340, 190, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        playMetafile(painter, QRectF(0, 0, 340, 190), emf, MetafileFormat::Emf);
    }
    state.counters["bytes"] = static_cast<double>(emf.size());
}
// The whole card, then each kind of record alone.
BENCHMARK(BM_PlayCardEmf)->Arg(Everything)->Arg(Polygons)->Arg(Text)->Arg(Boxes)->Arg(Bitmap)->Unit(benchmark::kMillisecond);

// What a card layer does with it: recorded once, then replayed stretched
// over the card, with and without antialiasing.
void BM_RecordCardEmf(benchmark::State& state)
{
    ensureApplication();
    const std::string emf = makeCardEmf(Everything);
    for (auto _ : state)
        benchmark::DoNotOptimize(recordMetafile(emf, MetafileFormat::Emf));
}
BENCHMARK(BM_RecordCardEmf)->Unit(benchmark::kMillisecond);

void BM_ReplayRecordedCardEmf(benchmark::State& state)
{
    ensureApplication();
    const RecordedMetafile recorded = recordMetafile(makeCardEmf(Everything), MetafileFormat::Emf);
    QImage image(340, 190, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, state.range(0) != 0);
        drawRecordedMetafile(painter, QRectF(0, 0, 340, 190), recorded);
    }
}
BENCHMARK(BM_ReplayRecordedCardEmf)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
