#include "test_support/seed.h"

#include <cstdlib>
#include <iostream>
#include <random>
#include <string>

namespace test_support {

std::uint32_t testSeed(std::string_view test) {
    const char* fixed = std::getenv("GRIM_TEST_SEED");
    const auto seed = fixed ? static_cast<std::uint32_t>(std::stoul(fixed)) : std::random_device{}();
    std::cout << test << ": seed " << seed << " (GRIM_TEST_SEED=" << seed << " replays it)" << std::endl;
    return seed;
}

}  // namespace test_support
