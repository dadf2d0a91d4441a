#pragma once

#include <QPageSize>

#include <optional>

// The page size of a paper code of the print settings (the JIS B series for the B codes); none for
// a code we do not know.
std::optional<QPageSize> PageSizeOf(int code);
