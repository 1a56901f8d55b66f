#pragma once
// The texts the pages show: fixed words, numbers, and the tests that decide
// how a coordinate system's texts are shown.
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

inline constexpr char kUnknown[] = "Unknown";
inline constexpr char kNotCounted[] = "Not counted";

// Not empty and every character a letter, digit, punctuation mark or blank
// (codes 32 to 126).
bool isPrintable(std::string_view text);

// Not empty and contains "LAT-LONG" (letter case counts).
bool isLatLong(std::string_view text);

// 30 significant digits: fixed-point for zero and magnitudes from 0.1 up to
// below 1e30, else exponent notation with 29 digits after the point; zeros
// at the end of the fraction removed, the point kept ("25.", "0.5").
std::string plainNumber(double value);

// The text of a NUL-terminated field of `size` bytes that may lack its NUL.
std::string fieldText(const char* field, std::size_t size);

} // namespace velmora
