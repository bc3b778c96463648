// Seeded property tests: a run covers a fixed range of seeds, or only the seed
// that TAGVORA_SEED names, so that a failing case can be replayed alone.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace testing_mp3 {

// Calls run(seed) for `cases` seeds from 1000 on, or once for TAGVORA_SEED, each
// under a trace that names its seed; stops after the first failing case.
template <typename Run>
void ForEachSeed(uint32_t cases, Run run) {
    const char* fixed = std::getenv("TAGVORA_SEED");
    const uint32_t first = fixed ? static_cast<uint32_t>(std::strtoul(fixed, nullptr, 10)) : 1000;
    const uint32_t count = fixed ? 1 : cases;
    for (uint32_t seed = first; seed < first + count; ++seed) {
        SCOPED_TRACE("replay with TAGVORA_SEED=" + std::to_string(seed));
        run(seed);
        if (::testing::Test::HasFailure()) {
            return;
        }
    }
}

}  // namespace testing_mp3
