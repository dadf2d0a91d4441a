#pragma once
// Base of the resizable table dialogs (grid, layer, part management, hole data): one grid control
// that keeps its distance to all four edges of the dialog, further re-layout rules of the dialog's
// own, a size grip, the initial size as the smallest size, a minimise that restores the initial
// size instead, and the header layout read back into the column manager when the dialog closes.

#include "libui/Gripper.h"
#include "libui/ItemDialog.h"
#include "libui/Resizer.h"

#include <QFont>
#include <vector>

class CGfxListCtrl;

class CTableDialog : public CItemDialog
{
    Q_OBJECT
public:
    // iconId: the small window icon (0 for none); resizable: with re-layout, grip and minimum size.
    CTableDialog(int templateId, const QString& caption, int listId, int iconId, bool resizable,
                 QWidget* parent);
    ~CTableDialog() override;

    CGfxListCtrl* List() const { return m_list; }
    // The size the dialog had when it was first shown (its smallest size).
    QSize InitialSize() const { return m_initialSize; }

    void done(int result) override;

    // "ＭＳ Ｐゴシック" 9 point as the program has it.
    static QFont ProportionalGothic();

protected:
    // A rule row for another control, applied after the grid's.
    void AddResizeRule(const ResizeRow& row) { m_rules.push_back(row); }
    // The program's image lists 143 (cells) and 144 (headers) on the grid.
    void UseTableImages();
    // Widens the columns (after SetupColumns) whose caption, or with texts whose longest text, would
    // not show whole in the face this system has; the Japanese captions are never cut.
    void FitColumns(bool texts = false);

    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

    CGfxListCtrl* m_list;

private:
    bool m_resizable;
    bool m_laidOut = false;
    std::vector<ResizeRow> m_rules;
    CResizer m_resizer;
    CGripper* m_gripper = nullptr;
    QSize m_initialSize;
};
