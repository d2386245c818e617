#pragma once
// Shared by the fuzz targets: text from the input, and a broken invariant that
// ends the run like a crash, so that libFuzzer keeps the input that caused it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/Text.h"

namespace orvitex::fuzz {

inline void Require(bool holds, const char* invariant, std::u16string_view detail = {}) {
    if (holds)
        return;
    std::fprintf(stderr, "invariant broken: %s\n  %s\n", invariant, ToUtf8(detail).c_str());
    std::abort();
}

// Text up to a lone backslash in the input ("\\\\" stands for one backslash).
inline std::u16string ConsumeText(FuzzedDataProvider& data, std::size_t maxBytes = 64) {
    return FromUtf8(data.ConsumeRandomLengthString(maxBytes));
}

inline std::u16string RemainingText(FuzzedDataProvider& data) {
    return FromUtf8(data.ConsumeRemainingBytesAsString());
}

}  // namespace orvitex::fuzz
