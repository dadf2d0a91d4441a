#pragma once
// Combo box whose list is a most-recent-first history of entered texts kept in the profile.
// The list keeps insertion order unless sorting is asked for.

#include "model/input/HistoryList.h"

#include <QComboBox>
#include <string>
#include <vector>

class CHistoryCombo : public QComboBox
{
    Q_OBJECT
public:
    explicit CHistoryCombo(bool allowSort = false, QWidget* parent = nullptr);

    QString LoadHistory(const char* section, const char* keyPrefix, bool saveLast = true,
                        const char* lastKey = nullptr);
    // From a recent-file list (CP932 names).
    QString LoadHistory(const std::vector<std::string>* recent, bool selectFirst);
    void SaveHistory(bool addCurrent);
    void ClearHistory(bool deleteFromProfile);
    int AddString(const QString& text);
    void SetMaxHistoryItems(int count);
    void StoreValue(bool onlyWhenNotEmpty);
    // The width given to the list when it last dropped down.
    int DroppedWidth() const { return m_droppedWidth; }
    const CHistoryList& History() const { return m_list; }

    void showPopup() override;

private:
    void Pull();
    void Push();

    CHistoryList m_list;
    int m_droppedWidth = 0;
};
