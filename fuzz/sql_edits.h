// Damage to the tables of a data file as a fuzz input spells it, for the
// targets that open damaged files and read damaged journals.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace fuzz {

// Each edit is kEditSize bytes: which statement, a row, the kind of value
// (integer, real, text, blob of 0 to 39 bytes, null) and 8 bytes of value.
// The statement runs with ?1 bound to the value and ?2 to the row (1 to 8);
// one without parameters runs as it is. Failing statements are skipped.
constexpr std::size_t kEditSize = 11;
void applySqlEdits(const std::string& path, std::span<const std::string> statements, const std::uint8_t* data,
                   std::size_t size);

}  // namespace fuzz
