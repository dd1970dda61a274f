#include "core/key_change.h"

namespace wbtrv {
namespace {

// Numbers no key has at the end of the layout are not kept.
void trimFreeNumbers(FileLayout& layout) {
    while (!layout.keys.empty() && layout.keys.back().absent()) layout.keys.pop_back();
}

}  // namespace

KeyChange addingKey(const FileLayout& layout, std::size_t number, KeyDefinition key) {
    KeyChange change{layout, {}, number};
    if (number >= change.layout.keys.size()) change.layout.keys.resize(number + 1);
    change.layout.keys[number] = std::move(key);
    for (std::size_t k = 0; k < change.layout.keys.size(); ++k)
        change.formerNumber.push_back(k != number && layout.hasKey(k) ? std::optional(k) : std::nullopt);
    return change;
}

KeyChange droppingKey(const FileLayout& layout, std::size_t number, bool keepNumbers) {
    KeyChange change{layout, {}, std::nullopt};
    auto& keys = change.layout.keys;
    if (keepNumbers)
        keys[number] = KeyDefinition{};
    else
        keys.erase(keys.begin() + static_cast<std::ptrdiff_t>(number));
    trimFreeNumbers(change.layout);
    for (std::size_t k = 0; k < keys.size(); ++k) {
        const std::size_t former = !keepNumbers && k >= number ? k + 1 : k;
        change.formerNumber.push_back(!keys[k].absent() ? std::optional(former) : std::nullopt);
    }
    return change;
}

std::size_t lowestFreeKeyNumber(const FileLayout& layout) {
    std::size_t n = 0;
    while (layout.hasKey(n)) ++n;
    return n;
}

}  // namespace wbtrv
