#pragma once
// The clipboard form of board items: the item text form as text/plain (converted from CP932) and
// its exact CP932 bytes under the program's own type, so that copies paste back byte for byte.

#include <optional>
#include <string>

class QMimeData;

namespace platform {

inline constexpr const char* kItemMimeType = "application/x-velta-items";

// The two forms of the item text, ready for the clipboard.
QMimeData* MakeItemMimeData(const std::string& itemText);
// Replaces the clipboard's contents by the item text.
void WriteItemClipboard(const std::string& itemText);
// The item text on the clipboard: the private bytes when present, else text/plain in CP932; none
// when the clipboard holds neither or its text holds a character CP932 cannot express.
std::optional<std::string> ReadItemClipboard();

} // namespace platform
