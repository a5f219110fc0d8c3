// libFuzzer target for the frame and datagram decoders; run it with scripts/fuzz-tether.
#include "FuzzCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    tether::fuzzCodecOnce(reinterpret_cast<const char*>(data), size);
    return 0;
}
