#include "platform/J.h"

#include "platform/Cp932.h"

#include <optional>
#include <stdexcept>

namespace platform {

std::string JLiteral(std::string_view utf8)
{
    std::optional<std::string> cp932 = Utf8ToCp932(utf8);
    if (!cp932)
        throw std::logic_error("_J literal has a character CP932 cannot express: " + std::string(utf8));
    return std::move(*cp932);
}

std::string JLiteral(std::u8string_view utf8)
{
    return JLiteral(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

} // namespace platform
