#pragma once
// _J("...") turns a UTF-8 string literal of the source into the CP932 bytes that the model keeps
// its text in. Each use converts once, on first evaluation, and keeps the result for the life of
// the program, so it costs a static-guard check afterwards. It is an ordinary expression of type
// const std::string& and may stand wherever one can (arguments, initialisers, comparisons, default
// arguments, templates).

#include <string>
#include <string_view>

namespace platform {

// The CP932 bytes of a UTF-8 literal. Throws std::logic_error when the literal holds a character
// CP932 cannot express (a programming error: such a literal has no bytes the files could hold).
std::string JLiteral(std::string_view utf8);
std::string JLiteral(std::u8string_view utf8);

} // namespace platform

#define _J(utf8)                                                                                             \
    ([]() -> const std::string& {                                                                            \
        static const std::string cp932_ = ::platform::JLiteral(utf8);                                        \
        return cp932_;                                                                                       \
    }())
