// Feeds arbitrary bytes to the WMF player.
#include "fuzz/MetafileFuzz.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    metafilefuzz::initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return metafilefuzz::play(data, size, MetafileFormat::Wmf);
}
