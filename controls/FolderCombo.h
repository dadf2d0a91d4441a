#pragma once
// A combo box listing the sub-folders of a base folder that hold at least one entry matching a
// pattern; refreshed whenever it drops down or gets the focus. Hidden folders (names starting with
// '.') and folders the user cannot write into are left out, and so are the excluded folders,
// compared ignoring case. A typed name that is no sub-folder survives a refresh.

#include <QComboBox>
#include <QStringList>

class CFolderCombo : public QComboBox
{
    Q_OBJECT

public:
    explicit CFolderCombo(QWidget* parent = nullptr);

    void SetBaseFolder(const QString& folder) { m_strBaseFolder = folder; }
    QString GetBaseFolder() const { return m_strBaseFolder; }
    void Refresh();
    void showPopup() override;

    QString m_strPattern = QStringLiteral("*.*");
    QStringList m_exclusions; // full folder paths

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool Matches(const QString& folder) const;

    QString m_strBaseFolder;
};
