// The seed of a random test: GRIM_TEST_SEED when set, else a fresh one. It is
// printed, so that a failing run can be replayed with the same seed.
#pragma once

#include <cstdint>
#include <string_view>

namespace test_support {

std::uint32_t testSeed(std::string_view test);

}  // namespace test_support
