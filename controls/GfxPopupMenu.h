#pragma once
// A menu whose commands show the tool-bar image of the same command, painted in the classic look
// or the flat look of the profile's "Sheet"/"MenuStyle". MakeOwnerDraw converts any menu (and its
// sub-menus) to this painting; the program's menus use it too.

#include <QMenu>
#include <functional>
#include <utility>
#include <vector>

class QLineEdit;

class CGfxPopupMenu : public QMenu
{
    Q_OBJECT

public:
    // The look from the profile.
    explicit CGfxPopupMenu(QWidget* parent = nullptr);
    CGfxPopupMenu(bool flat, QWidget* parent);

    // Maps the commands of a tool bar to its images; false when the bar is unknown.
    bool LoadToolBar(int id);
    // Gives the menu's commands their images and this menu's painting; items already converted
    // stay as they are.
    void MakeOwnerDraw(QMenu* menu);
    // Image index of a command, -1 when no loaded bar has it.
    int ImageOf(int commandId) const;
    // Runs update(id, action) for every command, last to first, sub-menus included; a command whose
    // handler answers false (no handler) is disabled.
    static void UpdateCommandStates(QMenu* menu, const std::function<bool(int, QAction*)>& update);

    bool IsFlat() const { return m_bFlat; }
    QSize ImageSize() const { return {m_nImageWidth, m_nImageHeight}; }

    // The undo, cut, copy and paste menu of an in-place editor, states set for the editor.
    static CGfxPopupMenu* CreateEditMenu(QLineEdit* edit, bool library);

private:
    bool m_bFlat;
    int m_nImageWidth = 16, m_nImageHeight = 15;
    std::vector<QPixmap> m_images;
    std::vector<std::pair<int, int>> m_commandMap; // (image index, command id)
};
