#include "controls/FolderCombo.h"

#include "controls/WidestItemWidth.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QRegularExpression>

CFolderCombo::CFolderCombo(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
}

bool CFolderCombo::Matches(const QString& folder) const
{
    // "*.*" names everything, with or without a dot.
    const QString pattern = m_strPattern == QLatin1String("*.*") ? QStringLiteral("*") : m_strPattern;
    if (pattern == QLatin1String("*"))
        return true;
    const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(pattern),
                                QRegularExpression::CaseInsensitiveOption);
    const QStringList entries =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& e : entries)
        if (re.match(e).hasMatch())
            return true;
    return false;
}

void CFolderCombo::Refresh()
{
    const QString remembered = currentText();
    clear();
    const QDir base(m_strBaseFolder);
    const QFileInfoList folders =
        base.entryInfoList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& info : folders) {
        const QString name = info.fileName();
        // Read-only: no write permission for its owner (what the folder itself says, as the
        // read-only attribute did), or none for this user.
        const bool readOnly = !(info.permissions() & QFileDevice::WriteOwner) || !info.isWritable();
        if (name.startsWith(QLatin1Char('.')) || readOnly)
            continue;
        if (!Matches(info.filePath()))
            continue;
        const QString path = QDir::cleanPath(info.absoluteFilePath());
        const bool excluded = std::any_of(m_exclusions.begin(), m_exclusions.end(), [&](const QString& e) {
            return QDir::cleanPath(e).compare(path, Qt::CaseInsensitive) == 0;
        });
        if (!excluded)
            addItem(name);
    }
    if (count() > 0) {
        view()->setMinimumWidth(GetWidestItemWidth(*this));
        if (!remembered.isEmpty()) {
            const int i = findText(remembered, Qt::MatchFixedString);
            if (i >= 0)
                setCurrentIndex(i);
            else
                setEditText(remembered);
        } else {
            setEditText(QString());
        }
    } else {
        setEditText(remembered);
    }
}

void CFolderCombo::showPopup()
{
    Refresh();
    QComboBox::showPopup();
}

void CFolderCombo::focusInEvent(QFocusEvent* event)
{
    Refresh();
    QComboBox::focusInEvent(event);
}

void CFolderCombo::focusOutEvent(QFocusEvent* event)
{
    const QString trimmed = currentText().trimmed();
    if (trimmed != currentText())
        setEditText(trimmed);
    QComboBox::focusOutEvent(event);
}
