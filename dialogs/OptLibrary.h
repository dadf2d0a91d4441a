#pragma once
// Option page "部品ファイル": the registered part library files in the order they are searched,
// reordered with buttons or by dragging, added through a file chooser or by dropping files on the
// page, and stored through the part library at OK (missing files are created empty).

#include "dialogs/OptPage.h"

#include <QStringList>

class CDragAndDropListBox;
class QPushButton;

class COptLibrary : public COptPage
{
    Q_OBJECT
public:
    enum
    {
        IDD = 166,
        IdList = 1170,
        IdAdd = 1171,
        IdUp = 1172,
        IdDown = 1173,
        IdRemove = 1174,
        IdTop = 1361,
        IdBottom = 1362
    };

    explicit COptLibrary(QWidget* parent = nullptr);

    // Adds chosen paths as the file chooser's result does (extension added, backups refused,
    // duplicates skipped).
    void AddChosenFiles(const QStringList& paths);
    // Adds dropped paths: only ".vlb" files not yet listed.
    void AddDroppedFiles(const QStringList& paths);
    QStringList Entries() const;

    void OnOK() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void OnAdd();
    void Move(int to);
    void OnRemove();
    void ApplyEnabling();
    bool Contains(const QString& path) const;
    void Append(const QString& path);

    CDragAndDropListBox* m_list;
};
