// Feeds arbitrary bytes to the data file readers as a .csv file: the
// encoding and separator found, quotes, ragged rows and the bounds.
#include "fuzz/DataFileFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QString path = datafilefuzz::scratchPath("lista.csv");
    return datafilefuzz::read(data, size, path, "lista.csv");
}
