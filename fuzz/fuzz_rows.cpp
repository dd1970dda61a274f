// The row conversion on any layout list and row: a list it refuses writes
// nothing; one it accepts packs back to the same row bytes.
#include <records/row_conversion.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace records;
    // The first byte says how many entries; each takes two bytes (type, length).
    if (size < 1) return 0;
    const std::size_t entries = std::min<std::size_t>(data[0] % 32, (size - 1) / 2);
    std::vector<LayoutEntry> list(entries);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::uint8_t type = data[1 + 2 * i];
        list[i].Type = type % 4 == 0 ? TextField : type % 4 == 1 ? IntegerField : type % 4 == 2 ? ByteField : type;
        list[i].Length = static_cast<std::int8_t>(data[2 + 2 * i]);
    }
    const std::span<const std::uint8_t> rest(data + 1 + 2 * entries, size - 1 - 2 * entries);
    const std::vector<std::uint8_t> row(rest.begin(), rest.end());
    std::array<std::uint8_t, 256> structure{}, untouched{};
    structure.fill(0xA5);
    untouched.fill(0xA5);
    const ConversionResult in = RowToStruct(row, list, structure.data(), structure.size());
    if (in != ConversionResult::Ok) {
        if (structure != untouched) std::abort();
        return 0;
    }
    std::vector<std::uint8_t> back(row.size(), 0);
    if (StructToRow(back, list, structure.data(), structure.size()) != ConversionResult::Ok) std::abort();
    const std::size_t packed = packedLength(list);
    if (!std::equal(row.begin(), row.begin() + static_cast<std::ptrdiff_t>(packed), back.begin())) std::abort();
    return 0;
}
