#include "platform/qt/QtText.h"

#include "platform/Cp932.h"

#include <QByteArray>

namespace platform {

QString Cp932ToQString(std::string_view cp932)
{
    const std::string utf8 = Cp932ToUtf8(cp932);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::optional<std::string> QStringToCp932(const QString& text)
{
    // toUtf8 would write a lone surrogate as '?': refuse it here instead.
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            return std::nullopt;
    }
    const QByteArray utf8 = text.toUtf8();
    return Utf8ToCp932(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

} // namespace platform
