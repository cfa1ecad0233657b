// Decoding card pictures for the surface: a 5 MB photo at its own size and
// straight at a display size, and a rebuild's worth of photos from the
// picture cache.
#include "layer/PictureDecoder.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImageWriter>

#include <cstdlib>
#include <random>
#include <vector>

namespace {

const QSize DisplaySize(400, 300);
constexpr int RebuildPhotos = 20;

// The image plug-ins need an application; one for the whole run.
void needApplication()
{
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "surface_bench";
        static char* argv[] = {name, nullptr};
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
}

// A gradient with grain, so that the encoder has a photo's work to do;
// the grain decides the size of the file.
std::string photo(int width, int height, int grain, unsigned seed)
{
    needApplication();
    QImage image(width, height, QImage::Format_RGB32);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> noise(-grain, grain);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int r = 255 * x / width + noise(random);
            const int g = 255 * y / height + noise(random);
            const int b = 128 + noise(random);
            line[x] = qRgb(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255));
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(92);
    writer.write(image);
    return bytes.toStdString();
}

const std::string& bigPhoto()
{
    static const std::string bytes = photo(4000, 3000, 24, 1);
    return bytes;
}

const std::vector<std::string>& cardPhotos()
{
    static const std::vector<std::string> photos = [] {
        std::vector<std::string> all;
        for (int i = 0; i < RebuildPhotos; ++i)
            all.push_back(photo(1600, 1200, 24, 100 + i));
        return all;
    }();
    return photos;
}

void BM_DecodeJpegFullSize(benchmark::State& state)
{
    const std::string& bytes = bigPhoto();
    for (auto _ : state)
        benchmark::DoNotOptimize(decodePicture(bytes, ".jpg").constBits());
    state.counters["file_MB"] = bytes.size() / 1e6;
}
BENCHMARK(BM_DecodeJpegFullSize)->Unit(benchmark::kMillisecond);

void BM_DecodeJpegDisplaySize(benchmark::State& state)
{
    const std::string& bytes = bigPhoto();
    for (auto _ : state)
        benchmark::DoNotOptimize(decodePicture(bytes, ".jpg", DisplaySize).constBits());
    state.counters["file_MB"] = bytes.size() / 1e6;
}
BENCHMARK(BM_DecodeJpegDisplaySize)->Unit(benchmark::kMillisecond);

// A rebuild's first time: every photo decoded at display size.
void BM_RebuildPhotosFirstTime(benchmark::State& state)
{
    const auto& photos = cardPhotos();
    for (auto _ : state) {
        clearPictureCache();
        for (const std::string& bytes : photos)
            benchmark::DoNotOptimize(cachedPicture(bytes, ".jpg", DisplaySize).constBits());
    }
    state.counters["photos"] = RebuildPhotos;
}
BENCHMARK(BM_RebuildPhotosFirstTime)->Unit(benchmark::kMillisecond);

// Every rebuild after it: the photos come from the cache.
void BM_RebuildPhotosFromCache(benchmark::State& state)
{
    const auto& photos = cardPhotos();
    clearPictureCache();
    std::size_t bytesHashed = 0;
    for (const std::string& bytes : photos) {
        cachedPicture(bytes, ".jpg", DisplaySize);
        bytesHashed += bytes.size();
    }
    for (auto _ : state)
        for (const std::string& bytes : photos)
            benchmark::DoNotOptimize(cachedPicture(bytes, ".jpg", DisplaySize).constBits());
    state.SetBytesProcessed(state.iterations() * bytesHashed);
    state.counters["photos"] = RebuildPhotos;
}
BENCHMARK(BM_RebuildPhotosFromCache)->Unit(benchmark::kMillisecond);

} // namespace
