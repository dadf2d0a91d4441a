#include "model/input/FormulaParser.h"

#include "platform/J.h"
#include "platform/Messages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

struct Row
{
    const char* formula;
    double value;
    std::size_t position;
    std::string message;
};

const std::string Div = "(Division by zero)";
const std::string Root = "(Root is negative number)";
const std::string Err = "(An error was intercepted)";

std::string At(std::size_t position, const std::string& error = std::string())
{
    return _J("エラー位置 ") + std::to_string(position) + error + "!";
}

void Expect(const Row& row)
{
    CFormulaParser parser;
    std::size_t position = 99;
    std::string message = "left over";
    const double value = parser.Calculation(row.formula, position, message);
    SCOPED_TRACE(row.formula);
    EXPECT_NEAR(value, row.value, std::fabs(row.value) * 1e-15 + 1e-300);
    EXPECT_EQ(position, row.position);
    EXPECT_EQ(message, row.message);
}

TEST(FormulaParserTest, ExamplesGiveValuePositionAndMessage)
{
    const Row rows[] = {
        {"", 0, 0, ""},
        {"   ", 0, 0, ""},
        {"***", 0, 0, ""},
        {"3+", 3, 0, ""},
        {"2*(3+4", 14, 0, ""},
        {"2^3^2", 64, 0, ""},
        {"-2^2", 4, 0, ""},
        {"2^-1", 0.5, 0, ""},
        {"1/0", 1, 0, Div},
        {"x", 1e-99, 0, ""},
        {"EXP(41)", std::exp(41.0), 0, ""},
        {"EXP(41.5)", 41.5, 0, Err},
        {"ARCSIN(1)", 1, 0, Err},
        {"ARCCOS(1)", 0, 0, ""},
        {"1E3", 1, 2, At(2)},
        {"2+Q", 2, 3, At(3)},
        {"10 20", 10, 0, ""},
        {"SIN -30", -30, 0, ""},
        {"SIN(-30)", std::sin(-30.0), 0, ""},
        {"2(3)", 2, 2, At(2)},
        {"1/0 Q", 1, 5, At(5, Div)},
        {"1.2.3", 1.2, 0, ""},
        {"1 2", 1, 0, ""},
        {"SIN 2*3", std::sin(2.0) * 3, 0, ""},
        {"SINX", std::sin(1e-99), 0, ""},
        {"sinh(1)", std::sinh(1.0), 0, ""},
        {"tanh 1", std::tanh(1.0), 0, ""},
        {"cosh(0)", 1, 0, ""},
        {" ( 1 + 2 ) * 3 ", 9, 0, ""},
        {"8/2/2", 2, 0, ""},
        {"8-2-2", 4, 0, ""},
        {"1/0+SQR(-1)", 0, 0, Err}, // the later error text replaces the earlier one
        {"SQR(-1)+1/0", 0, 0, Div},
        // Powers: any whole exponent for a negative base, positive exponents for 0.
        {"0^2", 0, 0, ""},
        {"(-2)^2", 4, 0, ""},
        {"(-2)^-3", -0.125, 0, ""},
        {"(-2)^1", -2, 0, ""},
        {"(-2)^0", 1, 0, ""},
        {"0^1", 0, 0, ""},
        {"0^0.5", 0, 0, ""},
        {"0^0", 0, 0, Root},
        {"0^-1", 0, 0, Root},
        {"(-8)^(1/3)", -8, 0, Root},
        // Results that are not finite keep the left operand.
        {"10^400", 10, 0, Err},
        {"1E300", 1, 2, At(2)},
        {"9^999*2", 9 * 2.0, 0, Err},
        {"LN(0)", 0, 0, Err},
        // Tabs are not blanks inside the text, though trimmed at its ends.
        {"1\t+2", 1, 2, At(2)},
        {"\t 5 \t", 5, 0, ""},
        {"2+\x82\x50", 2, 3, At(3)}, // a double-byte digit stops the reading
        {"B*2+v", 0, 0, ""},
    };
    for (const Row& row : rows)
        Expect(row);
}

TEST(FormulaParserTest, EachFunctionRefusesAtItsBoundary)
{
    const double pi = 3.141592653589793;
    const Row rows[] = {
        {"ABS(-2)", 2, 0, ""},
        {"SQR(0)", 0, 0, ""},
        {"SQR(-0.001)", -0.001, 0, Err},
        {"SINH(800)", 800, 0, Err},
        {"COSH(-800)", -800, 0, Err},
        {"ARCTAN(1)", pi / 4, 0, ""},
        {"LN(1)", 0, 0, ""},
        {"LN(-1)", -1, 0, Err},
        {"LOG(100)", 2, 0, ""},
        {"LOG(-1)", -1, 0, Err},
        {"LOG(0)", 0, 0, Err},
        {"EXP(-41.5)", std::exp(-41.5), 0, ""},
        {"TAN(RAD(45))", std::tan(pi * 45 * 0.005555555555555556), 0, ""},
        {"ARCSIN(-1)", -1, 0, Err},
        {"ARCSIN(0.5)", std::asin(0.5), 0, ""},
        {"ARCCOS(-1)", pi, 0, ""},
        {"ARCCOS(1.001)", 1.001, 0, Err},
        {"INT(-2.7)", -2, 0, ""},
        {"INT(2147483647.9)", 2147483647, 0, ""},
        {"INT(2147483648)", 2147483648.0, 0, Err},
        {"INT(-2147483648.5)", -2147483648.0, 0, ""},
        {"INT(-2147483649)", -2147483649.0, 0, Err},
        {"DEG(ARCTAN(1))", 45, 0, ""},
        {"ARSINH(0)", 0, 0, ""},
        {"ARCOSH(1)", 0, 0, ""},
        {"ARCOSH(0.5)", 0.5, 0, Err},
        {"ARCOSH(-1)", -1, 0, Err},
        {"ARCOSH(-2)", -2, 0, Err},
        {"ARTANH(0.5)", 0.5 * std::log(3.0), 0, ""},
        {"ARTANH(1)", 1, 0, Err},
        {"ARTANH(-1)", -1, 0, Err},
        {"ARTANH(1.5)", 1.5, 0, Err},
    };
    for (const Row& row : rows)
        Expect(row);

    CFormulaParser parser;
    std::size_t position = 0;
    std::string message;
    EXPECT_NEAR(parser.Calculation("sin(rad(30))", position, message), 0.5, 1e-15);
    EXPECT_EQ(message, "");
    EXPECT_NEAR(parser.Calculation("deg(arctan(1))", position, message), 45, 1e-13);
}

TEST(FormulaParserTest, ConstantsStartAtZeroAndAreSetByIndex)
{
    platform::RecordingMessages messages;
    platform::SetMessageService(&messages);
    CFormulaParser parser;
    std::size_t position = 0;
    std::string message;
    const char letters[] = "BFGHJKMNUV";
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(parser.Calculation(std::string(1, letters[i]), position, message), 0.0);
        parser.SetFunctConst(i, i + 1.5);
        EXPECT_EQ(parser.Calculation(std::string(1, static_cast<char>(letters[i] + 32)), position, message),
                  i + 1.5);
    }
    EXPECT_EQ(messages.Count(), 0u);
    parser.SetFunctConst(10, 7.0);
    parser.SetFunctConst(-1, 7.0);
    ASSERT_EQ(messages.Count(), 2u);
    EXPECT_EQ(messages.Last().text, "ProgrammError in SetFunctConst()");
    EXPECT_EQ(messages.Last().type, MB_OK);
    EXPECT_EQ(parser.Calculation("V", position, message), 10.5);
    platform::SetMessageService(nullptr);

    parser.SetFormula("1+1");
    EXPECT_EQ(parser.GetFormula(), "1+1");
}

TEST(FormulaParserTest, HugeAndDeepFormulasGiveAValueAndAMessage)
{
    CFormulaParser parser;
    std::size_t position = 0;
    std::string message;

    std::string sum;
    for (int i = 0; i < 35000; ++i)
        sum += "1+";
    EXPECT_EQ(parser.Calculation(sum + "1", position, message), 35001);
    EXPECT_EQ(message, "");
    // Positions count past 65,535.
    EXPECT_EQ(parser.Calculation(sum + "Q", position, message), 35000);
    EXPECT_EQ(position, 70001u);
    EXPECT_EQ(message, At(70001));

    const std::string deep = std::string(CFormulaParser::MaxDepth, '(') + "2";
    EXPECT_EQ(parser.Calculation(deep, position, message), 2);
    EXPECT_EQ(message, "");
    for (const std::string& tooDeep :
         {std::string(10000, '(') + "1", std::string("sin") + std::string(3000, '(')}) {
        position = 7;
        EXPECT_EQ(parser.Calculation(tooDeep, position, message), 0.0);
        EXPECT_EQ(position, 0u);
        EXPECT_EQ(message.rfind("Error in Calculation() fail ", 0), 0u) << message;
        EXPECT_GT(message.size(), 28u);
    }
    std::string functions;
    for (int i = 0; i < 1200; ++i)
        functions += "abs ";
    parser.Calculation(functions + "1", position, message);
    EXPECT_EQ(message.rfind("Error in Calculation() fail ", 0), 0u);

    // Any bytes give a value and a message, never a crash.
    std::string bytes;
    for (int i = 0; i < 70000; ++i)
        bytes += static_cast<char>((i * 7919) & 0xFF);
    parser.Calculation(bytes, position, message);
    EXPECT_LE(position, bytes.size());
}

} // namespace
