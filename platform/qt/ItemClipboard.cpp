#include "platform/qt/ItemClipboard.h"

#include "platform/qt/QtText.h"

#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace platform {

QMimeData* MakeItemMimeData(const std::string& itemText)
{
    auto* data = new QMimeData;
    data->setText(Cp932ToQString(itemText));
    data->setData(QString::fromLatin1(kItemMimeType),
                  QByteArray(itemText.data(), static_cast<qsizetype>(itemText.size())));
    return data;
}

void WriteItemClipboard(const std::string& itemText)
{
    // The clipboard owns the data from here on.
    QGuiApplication::clipboard()->setMimeData(MakeItemMimeData(itemText));
}

std::optional<std::string> ReadItemClipboard()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return std::nullopt;
    if (data->hasFormat(QString::fromLatin1(kItemMimeType))) {
        const QByteArray bytes = data->data(QString::fromLatin1(kItemMimeType));
        return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
    if (data->hasText())
        return QStringToCp932(data->text());
    return std::nullopt;
}

} // namespace platform
