#include "records/layout.h"

namespace records {

std::size_t packedLength(std::span<const LayoutEntry> list) {
    std::size_t total = 0;
    for (const LayoutEntry& entry : list) total += static_cast<std::size_t>(entry.Length > 0 ? entry.Length : 0);
    return total;
}

}  // namespace records
