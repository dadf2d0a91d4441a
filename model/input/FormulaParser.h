#pragma once
// Arithmetic formulas typed into numeric fields: the four operators, powers, brackets, a leading
// minus, twenty named functions and eleven one-letter constants, read by recursive descent.
// Evaluation never throws and never shows anything: it hands back the value with the position of
// the first byte it could not use and a message, and the field decides what to show.

#include <array>
#include <cstddef>
#include <string>

class CFormulaParser
{
public:
    CFormulaParser();
    virtual ~CFormulaParser() = default;

    // The value of the formula (CP932). position is the 1-based byte position in the trimmed
    // text where reading stopped, or 0 when the whole text was read; message is empty exactly
    // when the evaluation succeeded.
    double Calculation(std::string formula, std::size_t& position, std::string& message);

    // Constants B, F, G, H, J, K, M, N, U, V by index 0..9; other indexes are a programming error.
    void SetFunctConst(int index, double value);

    void SetFormula(const std::string& formula) { m_formula = formula; }
    std::string GetFormula() const { return m_formula; }

    // Deepest nesting of brackets and function arguments that is read.
    static constexpr int MaxDepth = 1000;

private:
    // Scanner state: 1-based byte position and the current byte (End past the text).
    struct Cursor
    {
        std::size_t pos = 0;
        int ch = 0;
        int depth = 0;
    };
    static constexpr int End = -1;

    double Expression(Cursor& c);
    double SimpleExpression(Cursor& c);
    double Term(Cursor& c);
    double SignFactor(Cursor& c);
    double Factor(Cursor& c);
    std::size_t Char_n(Cursor& c);
    double Function(int index, double a);
    // Keeps `keep` and records the intercepted error when value is not finite.
    double Finite(double value, double keep);

    std::string m_formula;
    std::string m_work;
    std::string m_error;
    double m_x = 1e-99;
    std::array<double, 10> m_constants{};
};
