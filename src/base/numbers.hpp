#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ledra {

// The leading number of a field, read leniently: blanks are skipped, then an optional sign,
// digits, one decimal point and an exponent are taken as far as they go. Empty or
// non-numeric text gives 0.
double leadingNumber(std::string_view s);

// Rounds to the nearest integer, halves to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double roundHalfEven(double v);
// Rounds to the nearest integer, halves away from zero (2.5 -> 3, -2.5 -> -3).
double roundHalfAway(double v);

// The whole field as a number: surrounding half-width spaces allowed, anything else that is
// not part of the number makes it fail. Empty text fails.
std::optional<double> parseStrictNumber(std::string_view s);

// A whole-field decimal integer (optional sign, digits only, no blanks).
std::optional<int64_t> parseInteger(std::string_view s);

bool fitsInt32(int64_t v);
bool fitsInt32(double v);
// Half-even rounding followed by the 32-bit range check.
std::optional<int32_t> toInt32Rounded(double v);

// toInt32Rounded(leadingNumber(s)), with a plain integer (blanks, sign, digits) read as an
// integer rather than through a double: the same texts accepted, the same values, the same
// refusals (nothing when the value does not fit 32 bits).
std::optional<int32_t> leadingInt32(std::string_view s);

// Digit grouping with ",": 1234567 -> "1,234,567", -1234 -> "-1,234".
std::string numberFormat(int64_t value);

// The shortest text that reads back as the same single-precision value (12.5, 100, 0.25).
std::string formatSingle(float v);
std::optional<float> parseSingle(std::string_view s);

// Zero-padded decimal of at least width digits.
std::string zeroPad(int64_t value, int width);

}  // namespace ledra
