// The libFuzzer entry point; each executable is built with FUZZ_TARGET naming its target.
#include "fuzz/targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzTarget target = fuzzTargetNamed(FUZZ_TARGET);
    target(data, size);
    return 0;
}
