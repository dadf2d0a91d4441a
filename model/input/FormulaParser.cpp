#include "model/input/FormulaParser.h"

#include "platform/Cp932.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"

#include <cmath>
#include <cstdint>
#include <stdexcept>

namespace {

const char* const FunctionNames[] = {"ABS", "SQR", "SINH", "COSH",   "TANH",   "ARCTAN", "LN",
                                     "LOG", "EXP", "SIN",  "COS",    "TAN",    "ARCSIN", "ARCCOS",
                                     "INT", "RAD", "DEG",  "ARSINH", "ARCOSH", "ARTANH"};
constexpr int FunctionCount = sizeof(FunctionNames) / sizeof(FunctionNames[0]);

// The letters of constants 0..9.
constexpr char ConstantLetters[] = "BFGHJKMNUV";

const char DivisionByZero[] = "(Division by zero)";
const char NegativeRoot[] = "(Root is negative number)";
const char Intercepted[] = "(An error was intercepted)";

bool IsBlank(int ch)
{
    return ch == ' ';
}

bool IsDigitOrPoint(int ch)
{
    return (ch >= '0' && ch <= '9') || ch == '.';
}

int UpperAscii(int ch)
{
    return ch >= 'a' && ch <= 'z' ? ch - 'a' + 'A' : ch;
}

bool IsWhite(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\v' || ch == '\f';
}

class TooDeep : public std::runtime_error
{
public:
    TooDeep() : std::runtime_error("formula nested too deeply") {}
};

} // namespace

CFormulaParser::CFormulaParser() = default;

void CFormulaParser::SetFunctConst(int index, double value)
{
    if (index < 0 || index > 9) {
        AfxMessageBox("ProgrammError in SetFunctConst()", MB_OK);
        return;
    }
    m_constants[static_cast<std::size_t>(index)] = value;
}

double CFormulaParser::Calculation(std::string formula, std::size_t& position, std::string& message)
{
    try {
        m_error.clear();
        std::size_t first = 0;
        std::size_t last = formula.size();
        while (first < last && IsWhite(formula[first]))
            ++first;
        while (last > first && IsWhite(formula[last - 1]))
            --last;
        m_work = formula.substr(first, last - first);
        m_x = 1e-99;

        Cursor c;
        Char_n(c);
        const double value = Expression(c);
        if (c.ch == End) {
            position = 0;
            message = m_error;
        } else {
            position = c.pos;
            message = platform::Format(_J("エラー位置 %zu%s!").c_str(), c.pos, m_error.c_str());
        }
        return value;
    } catch (const std::exception& e) {
        std::string text = e.what();
        if (text.size() > 255)
            text.resize(255);
        position = 0;
        message = "Error in Calculation() fail " + text;
        return 0.0;
    }
}

std::size_t CFormulaParser::Char_n(Cursor& c)
{
    do {
        ++c.pos;
        c.ch = c.pos > m_work.size() ? End : static_cast<unsigned char>(m_work[c.pos - 1]);
    } while (IsBlank(c.ch));
    return c.pos;
}

double CFormulaParser::Finite(double value, double keep)
{
    if (std::isfinite(value))
        return value;
    m_error = Intercepted;
    return keep;
}

double CFormulaParser::Expression(Cursor& c)
{
    double value = SimpleExpression(c);
    while (c.ch == '+' || c.ch == '-') {
        const int op = c.ch;
        Char_n(c);
        const double right = SimpleExpression(c);
        value = Finite(op == '+' ? value + right : value - right, value);
    }
    return value;
}

double CFormulaParser::SimpleExpression(Cursor& c)
{
    double value = Term(c);
    while (c.ch == '*' || c.ch == '/') {
        const int op = c.ch;
        Char_n(c);
        const double right = Term(c);
        if (op == '*')
            value = Finite(value * right, value);
        else if (right == 0.0)
            m_error = DivisionByZero;
        else
            value = Finite(value / right, value);
    }
    return value;
}

double CFormulaParser::Term(Cursor& c)
{
    double value = SignFactor(c);
    while (c.ch == '^') {
        Char_n(c);
        const double exponent = SignFactor(c);
        // A negative base takes whole exponents only; zero takes positive ones.
        const bool whole = exponent == std::trunc(exponent);
        if (value > 0.0 || (value < 0.0 && whole) || (value == 0.0 && exponent > 0.0))
            value = Finite(std::pow(value, exponent), value);
        else
            m_error = NegativeRoot;
    }
    return value;
}

double CFormulaParser::SignFactor(Cursor& c)
{
    if (c.ch == '-') {
        Char_n(c);
        return -Factor(c);
    }
    return Factor(c);
}

double CFormulaParser::Factor(Cursor& c)
{
    if (IsDigitOrPoint(c.ch)) {
        const std::size_t start = c.pos;
        while (IsDigitOrPoint(c.ch))
            Char_n(c);
        const double value = platform::Atof(std::string_view(m_work).substr(start - 1, c.pos - start));
        return Finite(value, 0.0);
    }
    if (c.ch == '(') {
        if (++c.depth > MaxDepth)
            throw TooDeep();
        Char_n(c);
        const double value = Expression(c);
        if (c.ch == ')')
            Char_n(c);
        --c.depth;
        return value;
    }
    if (c.ch == End)
        return 0.0;
    const int upper = UpperAscii(c.ch);
    if (upper == 'X') {
        Char_n(c);
        return m_x;
    }
    for (int i = 0; i < 10; ++i) {
        if (upper == ConstantLetters[i]) {
            Char_n(c);
            return m_constants[static_cast<std::size_t>(i)];
        }
    }
    for (int i = 0; i < FunctionCount; ++i) {
        const std::string_view name = FunctionNames[i];
        const std::string word =
            platform::ToUpperAscii(std::string_view(m_work).substr(c.pos - 1, name.size()));
        if (word != name)
            continue;
        if (++c.depth > MaxDepth)
            throw TooDeep();
        c.pos += name.size() - 1;
        Char_n(c);
        const double a = Factor(c);
        --c.depth;
        return Function(i, a);
    }
    return 0.0;
}

double CFormulaParser::Function(int index, double a)
{
    constexpr double Pi = 3.141592653589793;
    bool refused = false;
    double v = a;
    switch (index) {
    case 0:
        v = std::fabs(a);
        break;
    case 1:
        refused = a < 0.0;
        v = refused ? a : std::sqrt(a);
        break;
    case 2:
        v = std::sinh(a);
        break;
    case 3:
        v = std::cosh(a);
        break;
    case 4:
        v = std::tanh(a);
        break;
    case 5:
        v = std::atan(a);
        break;
    case 6:
        refused = a < 0.0;
        v = refused ? a : std::log(a);
        break;
    case 7:
        refused = a < 0.0;
        v = refused ? a : std::log10(a);
        break;
    case 8:
        refused = a > 41.0;
        v = refused ? a : std::exp(a);
        break;
    case 9:
        v = std::sin(a);
        break;
    case 10:
        v = std::cos(a);
        break;
    case 11:
        refused = std::cos(a) == 0.0;
        v = refused ? a : std::tan(a);
        break;
    case 12:
        refused = std::fabs(a) >= 1.0;
        v = refused ? a : std::asin(a);
        break;
    case 13:
        refused = std::fabs(a) > 1.0;
        v = refused ? a : std::acos(a);
        break;
    case 14:
        // Through a 32-bit integer, so values beyond it have no result.
        refused = !(a > -2147483649.0 && a < 2147483648.0);
        v = refused ? a : static_cast<double>(static_cast<std::int32_t>(a));
        break;
    case 15:
        v = a * Pi * 0.005555555555555556;
        break;
    case 16:
        v = a * 180.0 * 0.3183098861837907;
        break;
    case 17:
        v = std::log(a + std::sqrt(a * a + 1.0));
        break;
    case 18:
        refused = a < 1.0;
        v = refused ? a : std::log(a + std::sqrt(a * a - 1.0));
        break;
    case 19:
        refused = std::fabs(a) > 1.0;
        v = refused ? a : 0.5 * std::log((1.0 + a) / (1.0 - a));
        break;
    default:
        break;
    }
    if (refused) {
        m_error = Intercepted;
        return a;
    }
    return Finite(v, a);
}
