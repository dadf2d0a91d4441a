#include "platform/Numbers.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <limits>
#include <locale.h>

namespace platform {

namespace {

locale_t CLocale()
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

// Switches this thread to the "C" locale for the lifetime of the object.
class CLocaleScope
{
public:
    CLocaleScope() : m_old(uselocale(CLocale())) {}
    ~CLocaleScope() { uselocale(m_old); }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    locale_t m_old;
};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Appends one conversion. The directive string is built by FormatV from a checked format.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
template <class T> void AppendOne(std::string& out, const std::string& directive, T value)
{
    char buf[256];
    int n = std::snprintf(buf, sizeof buf, directive.c_str(), value);
    if (n < 0)
        return;
    if (static_cast<std::size_t>(n) < sizeof buf) {
        out.append(buf, static_cast<std::size_t>(n));
        return;
    }
    std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(n) + 1);
    std::snprintf(out.data() + at, static_cast<std::size_t>(n) + 1, directive.c_str(), value);
    out.resize(at + static_cast<std::size_t>(n));
}
#pragma GCC diagnostic pop

enum class Length
{
    None,
    HH,
    H,
    L,
    LL,
    BigL,
    Z,
    J,
    T
};

struct Number
{
    std::string_view text; // the number, sign included, '+' excluded
    std::size_t end = 0;   // offset after the number in the input; 0 when there is none
};

// Finds the decimal number at the start of s: blanks, sign, digits with an optional fraction and
// an exponent that counts only when digits follow it.
Number FindNumber(std::string_view s, bool allowFraction)
{
    std::size_t i = 0;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    std::size_t start = i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    if (start < s.size() && s[start] == '+')
        ++start;
    std::size_t digits = 0;
    while (i < s.size() && IsDigit(s[i]))
        ++i, ++digits;
    if (allowFraction && i < s.size() && s[i] == '.') {
        std::size_t j = i + 1;
        std::size_t fraction = 0;
        while (j < s.size() && IsDigit(s[j]))
            ++j, ++fraction;
        if (digits + fraction > 0) {
            i = j;
            digits += fraction;
        }
    }
    if (digits == 0)
        return {};
    if (allowFraction && i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        if (j < s.size() && IsDigit(s[j])) {
            while (j < s.size() && IsDigit(s[j]))
                ++j;
            i = j;
        }
    }
    return {s.substr(start, i - start), i};
}

double ToDouble(std::string_view text)
{
    double value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        // Overflow and underflow give what strtod gives (HUGE_VAL or a tiny value).
        std::string copy(text);
        value = strtod_l(copy.c_str(), nullptr, CLocale());
    }
    return value;
}

std::int32_t ToInt32(std::string_view text)
{
    bool negative = !text.empty() && text[0] == '-';
    std::int64_t value = 0;
    constexpr std::int64_t limit = std::int64_t{1} << 32;
    for (char c : text.substr(negative ? 1 : 0)) {
        value = value * 10 + (c - '0');
        if (value > limit)
            break;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

} // namespace

std::string Format(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    std::string out = FormatV(fmt, args);
    va_end(args);
    return out;
}

std::string FormatV(const char* fmt, va_list argsIn)
{
    va_list args;
    va_copy(args, argsIn);
    CLocaleScope scope;
    std::string out;
    const char* p = fmt;
    while (*p) {
        if (*p != '%') {
            const char* q = std::strchr(p, '%');
            if (!q)
                q = p + std::strlen(p);
            out.append(p, q);
            p = q;
            continue;
        }
        const char* start = p++;
        if (*p == '%') {
            out += '%';
            ++p;
            continue;
        }
        // Rebuild the conversion without '*' and without its length modifier, so that each
        // argument is fetched with its real type and printed with a type we choose.
        std::string directive = "%";
        while (*p && std::strchr("-+ #0'", *p))
            directive += *p++;
        if (*p == '*') {
            ++p;
            long long width = va_arg(args, int);
            if (width < 0) {
                directive += '-';
                width = -width;
            }
            directive += std::to_string(width);
        } else {
            while (IsDigit(*p))
                directive += *p++;
        }
        if (*p == '.') {
            ++p;
            if (*p == '*') {
                ++p;
                int precision = va_arg(args, int);
                if (precision >= 0)
                    directive += "." + std::to_string(precision);
            } else {
                directive += '.';
                while (IsDigit(*p))
                    directive += *p++;
            }
        }
        Length length = Length::None;
        switch (*p) {
        case 'h':
            length = p[1] == 'h' ? Length::HH : Length::H;
            p += length == Length::HH ? 2 : 1;
            break;
        case 'l':
            length = p[1] == 'l' ? Length::LL : Length::L;
            p += length == Length::LL ? 2 : 1;
            break;
        case 'q':
            length = Length::LL;
            ++p;
            break;
        case 'L':
            length = Length::BigL;
            ++p;
            break;
        case 'z':
            length = Length::Z;
            ++p;
            break;
        case 'j':
            length = Length::J;
            ++p;
            break;
        case 't':
            length = Length::T;
            ++p;
            break;
        default:
            break;
        }
        const char conv = *p;
        if (!conv) {
            out.append(start);
            break;
        }
        ++p;
        switch (conv) {
        case 'd':
        case 'i': {
            long long v = 0;
            switch (length) {
            case Length::HH:
                v = static_cast<signed char>(va_arg(args, int));
                break;
            case Length::H:
                v = static_cast<short>(va_arg(args, int));
                break;
            case Length::L:
                v = static_cast<std::int32_t>(va_arg(args, long));
                break;
            case Length::LL:
                v = va_arg(args, long long);
                break;
            case Length::Z:
                v = static_cast<long long>(va_arg(args, std::size_t));
                break;
            case Length::J:
                v = va_arg(args, std::intmax_t);
                break;
            case Length::T:
                v = va_arg(args, std::ptrdiff_t);
                break;
            default:
                v = va_arg(args, int);
                break;
            }
            AppendOne(out, directive + "ll" + conv, v);
            break;
        }
        case 'u':
        case 'o':
        case 'x':
        case 'X': {
            unsigned long long v = 0;
            switch (length) {
            case Length::HH:
                v = static_cast<unsigned char>(va_arg(args, unsigned));
                break;
            case Length::H:
                v = static_cast<unsigned short>(va_arg(args, unsigned));
                break;
            case Length::L:
                v = static_cast<std::uint32_t>(va_arg(args, unsigned long));
                break;
            case Length::LL:
                v = va_arg(args, unsigned long long);
                break;
            case Length::Z:
                v = va_arg(args, std::size_t);
                break;
            case Length::J:
                v = va_arg(args, std::uintmax_t);
                break;
            case Length::T:
                v = static_cast<unsigned long long>(va_arg(args, std::ptrdiff_t));
                break;
            default:
                v = va_arg(args, unsigned);
                break;
            }
            AppendOne(out, directive + "ll" + conv, v);
            break;
        }
        case 'c':
            if (length == Length::L)
                AppendOne(out, directive + "lc", static_cast<wint_t>(va_arg(args, wint_t)));
            else
                AppendOne(out, directive + "c", va_arg(args, int));
            break;
        case 's':
            if (length == Length::L)
                AppendOne(out, directive + "ls", va_arg(args, const wchar_t*));
            else
                AppendOne(out, directive + "s", va_arg(args, const char*));
            break;
        case 'p':
            AppendOne(out, directive + "p", va_arg(args, void*));
            break;
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
        case 'a':
        case 'A':
            if (length == Length::BigL)
                AppendOne(out, directive + "L" + conv, va_arg(args, long double));
            else
                AppendOne(out, directive + conv, va_arg(args, double));
            break;
        case 'n':
            (void)va_arg(args, void*); // writing through %n is not supported
            break;
        default:
            out.append(start, p); // not a conversion: keep the text
            break;
        }
    }
    va_end(args);
    return out;
}

int Scan(const char* s, const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    int n;
    {
        CLocaleScope scope;
        n = std::vsscanf(s, fmt, args);
    }
    va_end(args);
    return n;
}

double Atof(std::string_view s)
{
    Number n = FindNumber(s, true);
    return n.end ? ToDouble(n.text) : 0.0;
}

double Strtod(const char* s, const char** end)
{
    std::string_view view(s);
    Number n = FindNumber(view, true);
    if (end)
        *end = s + n.end;
    return n.end ? ToDouble(n.text) : 0.0;
}

std::int32_t Atoi(std::string_view s)
{
    Number n = FindNumber(s, false);
    return n.end ? ToInt32(n.text) : 0;
}

std::int32_t Strtol(const char* s, const char** end)
{
    std::string_view view(s);
    Number n = FindNumber(view, false);
    if (end)
        *end = s + n.end;
    return n.end ? ToInt32(n.text) : 0;
}

std::int32_t TruncateToInt32(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

std::string TrimNumberText(const std::string& text)
{
    if (text.find('.') == std::string::npos)
        return text;
    std::string s = text;
    while (!s.empty() && s.back() == '0')
        s.pop_back();
    if (!s.empty() && s.back() == '.')
        s.pop_back();
    if (s.empty() || s == "-0")
        return "0";
    return s;
}

} // namespace platform
