// Feeds arbitrary bytes to the data file readers as a .vcf file: folded
// lines, quoted-printable values and their soft breaks, character sets,
// parameters and cards left open.
#include "fuzz/DataFileFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QString path = datafilefuzz::scratchPath("nevjegyek.vcf");
    return datafilefuzz::read(data, size, path, "nevjegyek.vcf");
}
