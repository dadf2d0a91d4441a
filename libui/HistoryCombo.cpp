#include "libui/HistoryCombo.h"

#include "platform/qt/QtText.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>

CHistoryCombo::CHistoryCombo(bool allowSort, QWidget* parent) : QComboBox(parent), m_list(allowSort)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(16);
}

// The list follows the box: the shown text is read before and everything written back after.
void CHistoryCombo::Pull()
{
    m_list.editable = isEditable();
    m_list.text = platform::QStringToCp932(currentText()).value_or(std::string());
    m_list.current = currentIndex();
}

void CHistoryCombo::Push()
{
    const bool blocked = blockSignals(true);
    clear();
    for (const std::string& item : m_list.items)
        addItem(platform::Cp932ToQString(item));
    setCurrentIndex(m_list.current);
    if (isEditable())
        setEditText(platform::Cp932ToQString(m_list.text));
    blockSignals(blocked);
}

QString CHistoryCombo::LoadHistory(const char* section, const char* keyPrefix, bool saveLast,
                                   const char* lastKey)
{
    Pull();
    const std::string result = m_list.Load(section, keyPrefix, saveLast, lastKey);
    Push();
    return platform::Cp932ToQString(result);
}

QString CHistoryCombo::LoadHistory(const std::vector<std::string>* recent, bool selectFirst)
{
    Pull();
    const std::string result = m_list.Load(recent, selectFirst);
    Push();
    return platform::Cp932ToQString(result);
}

void CHistoryCombo::SaveHistory(bool addCurrent)
{
    Pull();
    m_list.Save(addCurrent);
    Push();
}

void CHistoryCombo::ClearHistory(bool deleteFromProfile)
{
    Pull();
    m_list.Clear(deleteFromProfile);
    Push();
}

int CHistoryCombo::AddString(const QString& text)
{
    Pull();
    const int index = m_list.Add(platform::QStringToCp932(text).value_or(std::string()));
    Push();
    return index;
}

void CHistoryCombo::SetMaxHistoryItems(int count)
{
    Pull();
    m_list.SetMaxItems(count);
    Push();
}

void CHistoryCombo::StoreValue(bool onlyWhenNotEmpty)
{
    Pull();
    m_list.StoreValue(onlyWhenNotEmpty);
    Push();
}

void CHistoryCombo::showPopup()
{
    if (count() > 0) {
        const QFontMetrics metrics(font());
        int widest = 0;
        int heights = 0;
        for (int i = 0; i < count(); ++i) {
            widest = std::max(widest, metrics.horizontalAdvance(itemText(i)));
            heights += std::max(view()->sizeHintForRow(i), metrics.height());
        }
        // Room for the scroll bar when the list is longer than its drop-down.
        const int dropped =
            height() + maxVisibleItems() * std::max(view()->sizeHintForRow(0), metrics.height());
        if (height() + heights >= dropped)
            widest += style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                      style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
        m_droppedWidth = widest + 6;
        view()->setMinimumWidth(m_droppedWidth);
    }
    QComboBox::showPopup();
}
