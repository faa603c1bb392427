// libFuzzer entry: each input is a sequence of loop passes and handler calls
// (see input_sequence.h); a broken rule stops the fuzzer with its description.
#include <cstdio>
#include <cstdlib>

#include "fuzz/input_sequence.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const SequenceOutcome outcome = run_input_sequence({data, size});
    if (!outcome.fault.empty()) {
        std::fprintf(stderr, "broken rule: %s\n", outcome.fault.c_str());
        std::abort();
    }
    return 0;
}
