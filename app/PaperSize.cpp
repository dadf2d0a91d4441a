#include "app/PaperSize.h"

std::optional<QPageSize> PageSizeOf(int code)
{
    switch (code) {
    case 70:
        return QPageSize(QPageSize::A6);
    case 11:
        return QPageSize(QPageSize::A5);
    case 9:
        return QPageSize(QPageSize::A4);
    case 8:
        return QPageSize(QPageSize::A3);
    case 66:
        return QPageSize(QPageSize::A2);
    case 88:
        return QPageSize(QPageSize::JisB6);
    case 13:
        return QPageSize(QPageSize::JisB5);
    case 12:
        return QPageSize(QPageSize::JisB4);
    default:
        return std::nullopt;
    }
}
