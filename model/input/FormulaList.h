#pragma once
// The text of a formula field read as a list of values: ".." is typed for ",", commas separate
// the values, trailing commas are dropped and an empty item is 0 in its place.

#include "model/input/FormulaParser.h"

#include <string>

class CFormulaList
{
public:
    // Every ".." replaced by ",", left to right.
    static std::string Normalize(const std::string& text);
    // The number of values of a normalised text: 0 when nothing but commas is left.
    static int Count(const std::string& text);
    // Evaluates up to `maximum` values of a normalised text into values[]. A failing item stops
    // the reading (the earlier ones stay stored) and its message is handed back; true when the
    // last item read evaluated. An empty text stores nothing and gives false with no message.
    static bool Evaluate(CFormulaParser& parser, const std::string& text, double* values, int maximum,
                         std::string& message);
    // The 1-based byte position of the n-th comma, 0 when there are fewer.
    static std::size_t CommaPosition(const std::string& text, int n);
    // A value as the field shows it: "%.8G" without exponent, trailing zeros or trailing point.
    static std::string Format(double value);

private:
    static std::string TrimCommas(const std::string& text);
};
