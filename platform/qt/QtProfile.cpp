#include "platform/qt/QtProfile.h"

#include "platform/qt/QtText.h"

#include <QByteArray>
#include <QStringList>
#include <QVariant>
#include <algorithm>

namespace platform {

namespace {

QString GroupPath(const std::string& section)
{
    QStringList parts;
    for (const std::string& part : SplitSection(section))
        parts << Cp932ToQString(part);
    return parts.join(QLatin1Char('/'));
}

QString KeyPath(const std::string& section, const std::string& key)
{
    const QString group = GroupPath(section);
    const QString name = Cp932ToQString(key);
    return group.isEmpty() ? name : group + QLatin1Char('/') + name;
}

bool IsIntType(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

// A value read back from the file is text; a hand-edited one with commas is a list.
bool TextOf(const QVariant& v, QString& text)
{
    if (v.typeId() == QMetaType::QString) {
        text = v.toString();
        return true;
    }
    if (v.typeId() == QMetaType::QStringList) {
        text = v.toStringList().join(QStringLiteral(", "));
        return true;
    }
    return false;
}

} // namespace

QtProfile::QtProfile() : QtProfile(QStringLiteral("QEM"), QStringLiteral("VELTA")) {}

QtProfile::QtProfile(const QString& organisation, const QString& application)
    : m_settings(QSettings::IniFormat, QSettings::UserScope, organisation, application)
{
}

QtProfile::QtProfile(const std::filesystem::path& iniFile)
    : m_settings(QString::fromStdString(iniFile.string()), QSettings::IniFormat)
{
}

int QtProfile::GetInt(const std::string& section, const std::string& key, int def) const
{
    const QVariant v = m_settings.value(KeyPath(section, key));
    if (!v.isValid())
        return def;
    if (IsIntType(v)) {
        bool ok = false;
        const int i = v.toInt(&ok);
        return ok ? i : def;
    }
    QString text;
    if (!TextOf(v, text))
        return def;
    const std::optional<std::string> bytes = QStringToCp932(text);
    int parsed = 0;
    return bytes && ParseProfileInt(*bytes, parsed) ? parsed : def;
}

bool QtProfile::SetInt(const std::string& section, const std::string& key, int value)
{
    m_settings.setValue(KeyPath(section, key), value);
    return m_settings.isWritable();
}

std::string QtProfile::GetString(const std::string& section, const std::string& key,
                                 const std::string& def) const
{
    const QVariant v = m_settings.value(KeyPath(section, key));
    if (!v.isValid())
        return def;
    if (IsIntType(v))
        return v.toString().toStdString();
    QString text;
    if (!TextOf(v, text))
        return def;
    return QStringToCp932(text).value_or(def);
}

bool QtProfile::SetString(const std::string& section, const std::string& key, const std::string& value)
{
    m_settings.setValue(KeyPath(section, key), Cp932ToQString(value));
    return m_settings.isWritable();
}

bool QtProfile::GetBinary(const std::string& section, const std::string& key,
                          std::vector<std::uint8_t>& out) const
{
    out.clear();
    const QVariant v = m_settings.value(KeyPath(section, key));
    if (v.typeId() != QMetaType::QByteArray)
        return false;
    const QByteArray bytes = v.toByteArray();
    out.assign(bytes.begin(), bytes.end());
    return true;
}

bool QtProfile::SetBinary(const std::string& section, const std::string& key,
                          const std::vector<std::uint8_t>& value)
{
    const QByteArray bytes(reinterpret_cast<const char*>(value.data()), static_cast<qsizetype>(value.size()));
    m_settings.setValue(KeyPath(section, key), bytes);
    return m_settings.isWritable();
}

bool QtProfile::HasKey(const std::string& section, const std::string& key) const
{
    return m_settings.contains(KeyPath(section, key));
}

void QtProfile::DeleteKey(const std::string& section, const std::string& key)
{
    const QString path = KeyPath(section, key);
    if (!m_settings.contains(path))
        return;
    // QSettings removes a group of the same name with the key; a nested section called like the
    // key is not the key's, so it is put back.
    m_settings.beginGroup(path);
    const QStringList nested = m_settings.allKeys();
    QList<QVariant> values;
    for (const QString& k : nested)
        values << m_settings.value(k);
    m_settings.endGroup();
    m_settings.remove(path);
    for (qsizetype i = 0; i < nested.size(); ++i)
        m_settings.setValue(path + QLatin1Char('/') + nested[i], values[i]);
}

void QtProfile::DeleteSection(const std::string& section)
{
    const QString group = GroupPath(section);
    // An empty name would be the whole store.
    if (!group.isEmpty())
        m_settings.remove(group);
}

std::vector<std::string> QtProfile::GetKeys(const std::string& section) const
{
    std::vector<std::string> keys;
    const QString group = GroupPath(section);
    if (!group.isEmpty())
        m_settings.beginGroup(group);
    const QStringList names = m_settings.childKeys();
    if (!group.isEmpty())
        m_settings.endGroup();
    for (const QString& name : names) {
        if (std::optional<std::string> bytes = QStringToCp932(name))
            keys.push_back(std::move(*bytes));
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

void QtProfile::Flush()
{
    m_settings.sync();
}

} // namespace platform
