#pragma once
// Number formatting and parsing in the "C" locale, whatever LC_NUMERIC the user has: files and
// outputs always carry '.' as the decimal point. The functions keep the C library's behaviour
// (printf rounding and forms, atof/atoi/strtod prefixes, sscanf scanning) because the file
// formats rely on it.

#include <cstdarg>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// snprintf into a string. A `long` conversion (%ld, %lu, %lx, ...) prints its argument as a 32-bit
// value, as the file formats were written with a 32-bit long; pass int32_t fields with %d.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string FormatV(const char* fmt, va_list args) __attribute__((format(printf, 1, 0)));

// sscanf: returns the number of fields assigned, or EOF (-1) when the input ends before the first.
int Scan(const char* s, const char* fmt, ...) __attribute__((format(scanf, 2, 3)));

// The longest decimal number at the start of s after blanks: [+|-]digits[.digits][e[+|-]digits].
// Hexadecimal forms, "inf" and "nan" are not numbers here. No number gives 0.
double Atof(std::string_view s);
// Like Atof; *end (when given) is set after the number, or to s when there is none.
double Strtod(const char* s, const char** end);

// Blanks, an optional sign and decimal digits; no digits give 0. Values beyond the 32-bit range
// are clamped to it.
std::int32_t Atoi(std::string_view s);
// Like Atoi; *end (when given) is set after the digits, or to s when there are none.
std::int32_t Strtol(const char* s, const char** end);

// value truncated toward zero to a 32-bit integer; out-of-range values saturate and NaN gives 0.
std::int32_t TruncateToInt32(double value);
// Without '.', unchanged; else trailing '0's, then a trailing '.', removed; "" and "-0" give "0".
std::string TrimNumberText(const std::string& text);

} // namespace platform
