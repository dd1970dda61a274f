// Formatting a record as JSON and reading it back, both driven by the description
// of its record.
#include <wbtrv32/bytes.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>

#include "gamedata/record_formatter.h"
#include "record_tables.h"
#include "records/row_conversion.h"
#include "utf8.h"

namespace gamedata {
namespace {

using detail::JsonField;
using records::Field;
using records::FieldKind;
using json = RecordJson;

// A table's record description with what the dump adds to it.
struct RecordLayout {
    const records::RecordDescription& record;
    std::optional<abilities::AbilityKind> abilityKind;
    std::vector<JsonField> fields;
};

RecordLayout layoutOf(records::TableId table) {
    const records::RecordDescription& record = records::recordDescription(table);
    return {record, detail::abilityKindOf(table), detail::jsonFields(record.fields)};
}

// The record structure as bytes: RowToStruct fills it, the descriptors' offsets
// address its members.
using StructBytes = std::vector<std::uint8_t>;

std::int64_t readInt(const StructBytes& s, std::size_t offset, std::size_t width) {
    const std::uint8_t* p = s.data() + offset;
    if (width == 1) return *p;
    if (width == 2) {
        std::int16_t v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }
    std::int32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

void writeInt(StructBytes& s, std::size_t offset, std::size_t width, std::int64_t value) {
    std::uint8_t* p = s.data() + offset;
    if (width == 1) {
        *p = static_cast<std::uint8_t>(value);
    } else if (width == 2) {
        const auto v = static_cast<std::int16_t>(value);
        std::memcpy(p, &v, sizeof v);
    } else {
        const auto v = static_cast<std::int32_t>(value);
        std::memcpy(p, &v, sizeof v);
    }
}

// Bytes are unsigned, wider integers signed, as the layout's type codes say.
std::pair<std::int64_t, std::int64_t> rangeOf(std::size_t width) {
    if (width == 1) return {0, 255};
    if (width == 2) return {std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()};
    return {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};
}

json wordOf(const records::CodeTable& table, std::int64_t code) {
    const auto word = table.word(static_cast<int>(code));
    return word ? json(std::string(*word)) : json(nullptr);
}

// The usual stored form of a text: the characters, then one zero byte and blanks, or
// the characters alone filling the field. Any other form also goes to "textBytes".
bool usualTextForm(std::span<const std::uint8_t> bytes) {
    const auto zero = std::ranges::find(bytes, 0);
    return zero == bytes.end() || std::all_of(zero + 1, bytes.end(), [](std::uint8_t b) { return b == ' '; });
}

json textJson(std::span<const std::uint8_t> bytes) {
    const auto zero = std::ranges::find(bytes, 0);
    const std::string_view all(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return detail::utf8FromCp437(all.substr(0, static_cast<std::size_t>(zero - bytes.begin())));
}

json fieldJson(const JsonField& field, const StructBytes& s, const RecordLayout& layout) {
    const Field& f = *field.field;
    switch (f.kind) {
        case FieldKind::Text:
            return textJson(std::span(s).subspan(f.offset, f.width));
        case FieldKind::Hidden: {
            std::vector<std::uint8_t> bytes;
            for (std::size_t i = 0; i < f.count; ++i) {
                const auto bits = static_cast<std::uint64_t>(readInt(s, f.elementOffset(i), f.width));
                for (std::size_t b = 0; b < f.width; ++b) bytes.push_back(static_cast<std::uint8_t>(bits >> (8 * b)));
            }
            return wbtrv::hex(bytes);
        }
        case FieldKind::AbilityCodes:
        case FieldKind::AbilityValues: {
            const records::CodeTable& table = abilities::abilityTable(*layout.abilityKind);
            json list = json::array();
            for (std::size_t i = 0; i < f.count; ++i) {
                const std::int64_t code = readInt(s, f.elementOffset(i), f.width);
                list.push_back({{"code", code},
                                {"word", wordOf(table, code)},
                                {"value", readInt(s, field.values->elementOffset(i), f.width)}});
            }
            return list;
        }
        case FieldKind::Number:
        case FieldKind::Coded: {
            auto element = [&](std::size_t i) -> json {
                const std::int64_t value = readInt(s, f.elementOffset(i), f.width);
                if (f.kind == FieldKind::Number) return value;
                return {{"code", value}, {"word", wordOf(f.words(), value)}};
            };
            if (f.count == 1) return element(0);
            json list = json::array();
            for (std::size_t i = 0; i < f.count; ++i) list.push_back(element(i));
            return list;
        }
    }
    return nullptr;
}

json formatRecord(const RecordLayout& layout, std::uint32_t recordLength, std::span<const std::uint8_t> record) {
    if (record.size() != recordLength)
        return {{"error",
                 "record of " + std::to_string(record.size()) + " bytes, expected " + std::to_string(recordLength)}};
    StructBytes s(layout.record.structSize);
    if (records::RowToStruct(record, layout.record.layout, s.data(), s.size()) != records::ConversionResult::Ok)
        return {{"error", "record does not fit its layout"}};
    json fields = json::object();
    json textBytes = json::object();
    for (const JsonField& field : layout.fields) {
        fields[std::string(field.name)] = fieldJson(field, s, layout);
        const Field& f = *field.field;
        const auto bytes = std::span<const std::uint8_t>(s).subspan(f.offset, f.width);
        if (f.kind == FieldKind::Text && !usualTextForm(bytes)) textBytes[std::string(f.name)] = wbtrv::hex(bytes);
    }
    fields["textBytes"] = std::move(textBytes);
    const std::size_t packed = records::packedLength(layout.record.layout);
    if (recordLength > packed) fields["tail"] = wbtrv::hex(record.subspan(packed));
    return fields;
}

// ---- the way back ----

struct Decoder {
    const RecordLayout& layout;
    StructBytes& s;
    std::string error;

    bool fail(std::string_view name, const std::string& what) {
        error = "field \"" + std::string(name) + "\": " + what;
        return false;
    }
    bool fail(const Field& f, const std::string& what) { return fail(f.name, what); }

    bool integer(const Field& f, const json& value, std::size_t offset) {
        if (!value.is_number_integer()) return fail(f, "expected a whole number, got " + value.dump());
        const auto [low, high] = rangeOf(f.width);
        const bool fits = value.is_number_unsigned()
                              ? value.get<std::uint64_t>() <= static_cast<std::uint64_t>(high)
                              : value.get<std::int64_t>() >= low && value.get<std::int64_t>() <= high;
        if (!fits)
            return fail(f, value.dump() + " lies outside " + std::to_string(low) + " to " + std::to_string(high));
        writeInt(s, offset, f.width, value.get<std::int64_t>());
        return true;
    }

    // A field of several elements is a list of exactly that many.
    bool elements(const Field& f, const json& value, auto&& decodeOne) {
        if (f.count == 1) return decodeOne(value, std::size_t{0});
        if (!value.is_array() || value.size() != f.count)
            return fail(f, "expected a list of " + std::to_string(f.count) + " elements");
        for (std::size_t i = 0; i < f.count; ++i)
            if (!decodeOne(value[i], i)) return false;
        return true;
    }

    bool text(const Field& f, const json& value) {
        if (!value.is_string()) return fail(f, "expected a string");
        const auto encoded = detail::cp437FromUtf8(value.get<std::string>());
        if (!encoded) return fail(f, "holds a character outside code page 437");
        if (encoded->size() > f.width) return fail(f, "longer than " + std::to_string(f.width) + " characters");
        std::vector<std::uint8_t> bytes(encoded->begin(), encoded->end());
        if (bytes.size() < f.width) {
            bytes.push_back(0);
            bytes.resize(f.width, ' ');
        }
        std::memcpy(s.data() + f.offset, bytes.data(), f.width);
        return true;
    }

    // "textBytes": the exact bytes of text fields not in the usual form, over their text.
    bool textBytes(const json& value) {
        if (!value.is_object()) return fail("textBytes", "expected an object");
        for (const auto& [name, hex] : value.items()) {
            const auto f = std::ranges::find_if(
                layout.record.fields, [&](const Field& d) { return d.name == name && d.kind == FieldKind::Text; });
            if (f == layout.record.fields.end()) return fail("textBytes", "\"" + name + "\" is not a text field");
            const auto bytes = hex.is_string() ? wbtrv::fromHex(hex.get<std::string>()) : std::nullopt;
            if (!bytes || bytes->size() != f->width)
                return fail("textBytes", "\"" + name + "\" must be " + std::to_string(f->width) + " bytes of hex");
            std::memcpy(s.data() + f->offset, bytes->data(), f->width);
        }
        return true;
    }

    bool hidden(const Field& f, const json& value) {
        const auto bytes = value.is_string() ? wbtrv::fromHex(value.get<std::string>()) : std::nullopt;
        if (!bytes || bytes->size() != f.width * f.count)
            return fail(f, "expected " + std::to_string(f.width * f.count) + " bytes of hex");
        for (std::size_t i = 0; i < f.count; ++i) {
            const std::uint64_t bits = wbtrv::readLittleEndian(bytes->data() + i * f.width, f.width);
            // Reinterpret the little-endian bits as the member's signed value.
            const auto width = f.width;
            const std::int64_t value = width == 1   ? static_cast<std::int64_t>(bits)
                                       : width == 2 ? static_cast<std::int16_t>(bits)
                                                    : static_cast<std::int32_t>(bits);
            writeInt(s, f.elementOffset(i), width, value);
        }
        return true;
    }

    bool slots(const JsonField& field, const json& value) {
        // Errors name the slots as the dump does.
        Field f = *field.field;
        f.name = field.name;
        const Field& values = *field.values;
        if (!value.is_array() || value.size() != f.count)
            return fail(f, "expected a list of " + std::to_string(f.count) + " slots");
        for (std::size_t i = 0; i < f.count; ++i) {
            const json& slot = value[i];
            if (!slot.is_object() || !slot.contains("code") || !slot.contains("value"))
                return fail(f, "slot " + std::to_string(i) + " needs \"code\" and \"value\"");
            if (!integer(f, slot["code"], f.elementOffset(i)) || !integer(f, slot["value"], values.elementOffset(i)))
                return false;
        }
        return true;
    }

    bool field(const JsonField& field, const json& value) {
        const Field& f = *field.field;
        switch (f.kind) {
            case FieldKind::Text:
                return text(f, value);
            case FieldKind::Hidden:
                return hidden(f, value);
            case FieldKind::AbilityCodes:
            case FieldKind::AbilityValues:
                return slots(field, value);
            case FieldKind::Number:
                return elements(f, value,
                                [&](const json& v, std::size_t i) { return integer(f, v, f.elementOffset(i)); });
            case FieldKind::Coded:
                return elements(f, value, [&](const json& v, std::size_t i) {
                    if (!v.is_object() || !v.contains("code")) return fail(f, "expected {\"code\": n, ...}");
                    return integer(f, v["code"], f.elementOffset(i));
                });
        }
        return false;
    }
};

EncodedRecord encodeRecord(const RecordLayout& layout, std::uint32_t recordLength, const json& fields) {
    if (!fields.is_object()) return {{}, "expected an object of fields"};
    for (const auto& [key, value] : fields.items()) {
        const bool known = key == "tail" || key == "textBytes" ||
                           std::ranges::any_of(layout.fields, [&](const JsonField& f) { return f.name == key; });
        if (!known) return {{}, "unknown field \"" + key + "\""};
    }
    StructBytes s(layout.record.structSize);
    Decoder decoder{layout, s, {}};
    for (const JsonField& f : layout.fields) {
        const std::string name(f.name);
        if (!fields.contains(name)) return {{}, "field \"" + name + "\" is missing"};
        if (!decoder.field(f, fields[name])) return {{}, decoder.error};
    }
    if (fields.contains("textBytes") && !decoder.textBytes(fields["textBytes"])) return {{}, decoder.error};
    std::vector<std::uint8_t> row(recordLength);
    if (records::StructToRow(row, layout.record.layout, s.data(), s.size()) != records::ConversionResult::Ok)
        return {{}, "the record length does not hold the layout"};
    const std::size_t packed = records::packedLength(layout.record.layout);
    if (recordLength > packed) {
        const auto tail = fields.contains("tail") && fields["tail"].is_string()
                              ? wbtrv::fromHex(fields["tail"].get<std::string>())
                              : std::nullopt;
        if (!tail || tail->size() != recordLength - packed)
            return {{}, "field \"tail\": expected " + std::to_string(recordLength - packed) + " bytes of hex"};
        std::ranges::copy(*tail, row.begin() + static_cast<std::ptrdiff_t>(packed));
    }
    return {std::move(row), {}};
}

}  // namespace

RecordFormatter recordFormatter(std::string_view fileName, std::uint32_t recordLength) {
    const auto table = detail::tableOfFile(fileName, recordLength);
    if (!table) return {};
    return [layout = layoutOf(*table), recordLength](std::span<const std::uint8_t> record) {
        return formatRecord(layout, recordLength, record);
    };
}

RecordEncoder recordEncoder(std::string_view fileName, std::uint32_t recordLength) {
    const auto table = detail::tableOfFile(fileName, recordLength);
    if (!table) return {};
    return [layout = layoutOf(*table), recordLength](const json& fields) {
        return encodeRecord(layout, recordLength, fields);
    };
}

}  // namespace gamedata
