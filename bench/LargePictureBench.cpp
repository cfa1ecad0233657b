// A phone photo of about 7.4 MB (4000 × 3000) dropped on a card until the
// window is painted: stored reduced to 600 ppi of its box, as the user
// answered, and kept whole beside it. The card files both make are
// counted too.
#include "document/Child.h"

#include "layer/PictureDecoder.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QMdiArea>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

// Grain over gradients, as a photo has; written at the quality whose file
// comes nearest to 7.4 MB, as a phone's photo of that size is.
QByteArray phonePhoto()
{
    QImage image(4000, 3000, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grain = int(random.bounded(48));
            line[x] = qRgb((x * 255 / image.width() + grain) % 256, (y * 255 / image.height() + grain) % 256,
                           ((x + y) / 7 + grain) % 256);
        }
    }
    constexpr qint64 Wanted = 7'400'000;
    QByteArray nearest;
    for (int quality = 90; quality <= 100; ++quality) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpeg");
        writer.setQuality(quality);
        writer.write(image);
        if (nearest.isEmpty() || std::abs(bytes.size() - Wanted) < std::abs(nearest.size() - Wanted))
            nearest = bytes;
    }
    return nearest;
}

// Made once, removed at exit.
const QString& photoPath()
{
    static QTemporaryDir folder;
    static const QString path = [] {
        const QString file = folder.filePath("phone.jpg");
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(phonePhoto()) <= 0)
            qFatal("cannot write the bench photo");
        return file;
    }();
    return path;
}

void BM_DropLargePhotoUntilPainted(benchmark::State& state)
{
    const LargePictures answer = state.range(0) ? LargePictures::Reduce : LargePictures::Keep;
    QMdiArea area;
    area.resize(1200, 800);
    area.show();
    Tfrm_Child::Settings settings{QFont("Arial", 8), 9};
    settings.Reduction = answer;
    auto* child = new Tfrm_Child(settings, &area);
    area.addSubWindow(child);
    child->show();
    QApplication::processEvents();
    const QString photo = photoPath();
    for (auto _ : state) {
        child->dropPictures({photo}, QPoint(20, 20));
        QApplication::processEvents();
        benchmark::DoNotOptimize(child->grab());
        state.PauseTiming();
        child->document().history().undo();
        clearPictureCache();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    child->document().history().redo();
    const QString card = QFileInfo(photo).dir().filePath("phone.bcrd");
    child->SaveCard(card);
    state.counters["photo_MB"] = QFileInfo(photo).size() / 1e6;
    state.counters["stored_MB"] = child->Tbl().ReadBlob("kep").size() / 1e6;
    state.counters["card_MB"] = QFileInfo(card).size() / 1e6;
    state.SetLabel(answer == LargePictures::Reduce ? "reduced to 600 ppi of its box" : "kept whole");
    QFile::remove(card);
}
BENCHMARK(BM_DropLargePhotoUntilPainted)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(3);

} // namespace
