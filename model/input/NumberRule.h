#pragma once
// The rules of a numeric field that holds one double within a range: which texts are valid while
// typing, how many decimals it shows (a number that only grows) and how a step moves the value.

#include <cstdint>
#include <limits>
#include <string>

class CNumberRule
{
public:
    enum Check
    {
        Valid = 0,
        OutOfRange = 1,
        NotANumber = 2,
        Partial = 3 // a lone "+", "-" or ".", an entry still being typed
    };

    // The classification of a text. While typing (`typing`), a number below the minimum is
    // still valid when it is 0 or more, so that "1" can grow into "15" with a minimum of 10.
    Check CheckText(const std::string& text, bool typing = false) const;
    // The message shown for OutOfRange and NotANumber, empty for the other results.
    static std::string CheckMessage(Check check);

    // The printf format of the value ("%.<d>f"); a value with more decimals than shown so far
    // makes the field show that many from now on.
    std::string GetFormat(double value);
    // The value printed with GetFormat.
    std::string FormatValue(double value);
    // The value of a valid text; false for any other text.
    bool ParseValue(const std::string& text, double& value) const;
    // value moved by count steps: exactly 0 where it crosses 0, out-of-range results clamped or
    // wrapped to the other end.
    double StepValue(double value, int count, bool wrap) const;
    bool InRange(double value) const { return value >= minimum && value <= maximum; }

    std::uint8_t decimals = 0;
    double step = 1.0;
    double minimum = std::numeric_limits<double>::lowest();
    double maximum = std::numeric_limits<double>::max();
    double unchangedValue = 0.0;
};
