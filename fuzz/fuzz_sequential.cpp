// The sequential-file parser on any input: it never reads outside the input,
// and what it accepts, written back, parses to the same records.
#include "sequential_format.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace grimstore;
    const std::span<const uint8_t> input(data, size);
    const std::optional<uint32_t> lengths[] = {std::nullopt, size > 0 ? std::optional<uint32_t>(data[0]) : 16u};
    for (const auto& recordLength : lengths) {
        const SequentialParse parsed = parseSequential(input, recordLength);
        if (parsed.error) continue;
        std::ostringstream out;
        for (const auto& record : parsed.records) writeSequentialRecord(out, record.data);
        writeSequentialEnd(out);
        const std::string text = out.str();
        const SequentialParse again =
            parseSequential({reinterpret_cast<const uint8_t*>(text.data()), text.size()}, recordLength);
        if (again.error || again.records.size() != parsed.records.size()) std::abort();
        for (size_t i = 0; i < parsed.records.size(); ++i)
            if (!std::ranges::equal(again.records[i].data, parsed.records[i].data)) std::abort();
    }
    return 0;
}
