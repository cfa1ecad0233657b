// Feeds arbitrary bytes to the QR picture reader, which every PNG layer
// goes through. What it takes for a code is a code of a size QR allows,
// drawn and painted without fault; its contents read or are refused with a
// QrError. The mutator mends the chunks' checksums of most mutants, or
// nearly every one would stop at the first chunk.
#include "layer/QrPicture.h"
#include "merge/QrCode.h"

#include <QGuiApplication>
#include <QPainter>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

namespace {

std::uint32_t crc32(const std::uint8_t* data, std::size_t size)
{
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i)
        c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::uint32_t bigEndian(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// Each whole chunk after the signature gets the checksum of its type and
// data.
void mendChecksums(std::uint8_t* data, std::size_t size)
{
    std::size_t at = 8;
    while (at + 12 <= size) {
        const std::uint32_t length = bigEndian(data + at);
        if (length > size - at - 12)
            return;
        const std::uint32_t crc = crc32(data + at + 4, length + 4);
        std::uint8_t* out = data + at + 8 + length;
        out[0] = std::uint8_t(crc >> 24);
        out[1] = std::uint8_t(crc >> 16);
        out[2] = std::uint8_t(crc >> 8);
        out[3] = std::uint8_t(crc);
        at += 12 + length;
    }
}

[[noreturn]] void finding(const char* what)
{
    std::fprintf(stderr, "finding: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "qr_picture_fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    return 0;
}

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                               unsigned int seed)
{
    size = LLVMFuzzerMutate(data, size, maxSize);
    if (seed % 8 != 0)
        mendChecksums(data, size);
    return size;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<QrPicture> qr = readQrPicture(bytes, ".png");
    if (!qr)
        return 0;
    const int side = qr->modules->size;
    if (side < 21 || side > 177 || (side - 17) % 4 != 0 || qr->modules->dark.size() != std::size_t(side) * side)
        finding("a code of a size QR does not have");
    if (qr->contents.isEmpty())
        finding("a code without contents");
    if (qr->modules->picture().width() != side + 2 * QrQuietZone)
        finding("the code's picture is not a pixel a module");
    QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        paintQr(painter, *qr->modules, QRectF(2, 2, 60, 60));
    }
    try {
        contentsFromText(qr->contents);
    } catch (const QrError&) {
    } catch (const std::exception& error) {
        finding(error.what());
    }
    return 0;
}
