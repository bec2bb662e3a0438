#pragma once
// Cleaning and check-digit validation of Polish tax identification numbers (NIP).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zelvor::jobs {

// The ten digit values of the number under test, d1 first.
using NipDigits = std::array<std::int32_t, 10>;

// The characters of raw that are decimal digits or ".", in their order.
std::string KeepNipChars(std::string_view raw);

// Strips dashes, trailing blanks and an upper-case "PL" prefix, then tests the ten digits.
// The digits are stored in NIP when the text has ten of them.
bool IsValidNip(std::string_view text, NipDigits& NIP);

// Weighted sum of d1..d9 modulo 11 equals d10.
bool NipChecksumOk(const NipDigits& NIP);

}  // namespace zelvor::jobs
