#pragma once
// Numbers as the program shows and writes them for the user: up to eight significant digits,
// never an exponent, always with a decimal point.

#include <string>

// "%.8G"; when that has an exponent, "%.8f" trimmed by platform::TrimNumberText; ".0" added when no '.'.
std::string FormatNumber(double value);
// FormatNumber into a buffer that holds it (64 bytes hold every value below 1e40).
void FormatNumberToBuffer(char* buffer, double value);
// x and y each by FormatNumber, joined by ", ".
void FormatPointText(char* buffer, double x, double y);
