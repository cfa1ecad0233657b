#pragma once

#include "metafile/Metafile.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cstdlib>
#include <string_view>

// Plays arbitrary bytes as a metafile onto a small image, directly and
// through a recorded picture. Only a refusal of the whole file may throw.
namespace metafilefuzz {

inline void initialize()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "metafile_fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}

inline int play(const std::uint8_t* data, std::size_t size, MetafileFormat format)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    QImage image(48, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    try {
        const MetafileInfo info = readMetafileInfo(bytes, format);
        if (info.pixels.width() < 1 || info.pixels.height() < 1)
            std::abort();
        {
            QPainter painter(&image);
            playMetafile(painter, QRectF(2, 2, 44, 28), bytes, format);
        }
        if (size < 4096) {
            const RecordedMetafile recorded = recordMetafile(bytes, format);
            QPainter painter(&image);
            drawRecordedMetafile(painter, QRectF(0, 0, 48, 32), recorded);
        }
    } catch (const MetafileError&) {
    }
    return 0;
}

} // namespace metafilefuzz
