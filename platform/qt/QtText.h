#pragma once
// QString <-> CP932 text for widgets, the clipboard and the profile store.

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The text for display. A byte or code the code page does not define shows as U+FFFD.
QString Cp932ToQString(std::string_view cp932);

// The CP932 bytes of what the user entered; none when it holds a character CP932 cannot express
// (the caller refuses the entry with a message rather than store a substitute).
std::optional<std::string> QStringToCp932(const QString& text);

} // namespace platform
