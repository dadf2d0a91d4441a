#include "controls/GfxPopupMenu.h"

#include "controls/GfxMenuStyle.h"
#include "controls/GfxToolBarImages.h"
#include "platform/qt/QtProfile.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>

namespace {

const char* const kConverted = "gfxOwnerDraw";

bool FlatFromProfile()
{
    platform::QtProfile profile;
    return profile.GetInt("Sheet", "MenuStyle", 0) != 0;
}

} // namespace

CGfxPopupMenu::CGfxPopupMenu(QWidget* parent) : CGfxPopupMenu(FlatFromProfile(), parent) {}

CGfxPopupMenu::CGfxPopupMenu(bool flat, QWidget* parent) : QMenu(parent), m_bFlat(flat) {}

bool CGfxPopupMenu::LoadToolBar(int id)
{
    const GfxToolBar* bar = CGfxToolBarImages::Find(id);
    if (!bar || bar->strip.isNull())
        return false;
    m_nImageWidth = bar->imageWidth;
    m_nImageHeight = bar->imageHeight;
    int image = 0;
    for (int command : bar->commands) {
        if (command == 0)
            continue;
        m_images.push_back(CGfxToolBarImages::Image(*bar, image));
        m_commandMap.emplace_back(static_cast<int>(m_images.size()) - 1, command);
        ++image;
    }
    return true;
}

int CGfxPopupMenu::ImageOf(int commandId) const
{
    for (const auto& [image, command] : m_commandMap)
        if (command == commandId)
            return image;
    return -1;
}

void CGfxPopupMenu::MakeOwnerDraw(QMenu* menu)
{
    if (!menu)
        return;
    const QList<QAction*> actions = menu->actions();
    for (auto it = actions.rbegin(); it != actions.rend(); ++it) {
        QAction* action = *it;
        if (QMenu* sub = action->menu()) {
            MakeOwnerDraw(sub);
            continue;
        }
        if (action->isSeparator() || action->property(kConverted).toBool())
            continue;
        action->setProperty(kConverted, true);
        bool ok = false;
        const int id = action->data().toInt(&ok);
        const int image = ok ? ImageOf(id) : -1;
        if (image >= 0)
            action->setIcon(QIcon(m_images[static_cast<std::size_t>(image)]));
        action->setIconVisibleInMenu(image >= 0);
    }
    if (!menu->property(kConverted).toBool()) {
        menu->setProperty(kConverted, true);
        auto* style = new CGfxMenuStyle(m_bFlat, ImageSize());
        style->setParent(menu);
        menu->setStyle(style);
    }
}

void CGfxPopupMenu::UpdateCommandStates(QMenu* menu, const std::function<bool(int, QAction*)>& update)
{
    const QList<QAction*> actions = menu->actions();
    for (auto it = actions.rbegin(); it != actions.rend(); ++it) {
        QAction* action = *it;
        if (QMenu* sub = action->menu()) {
            UpdateCommandStates(sub, update);
            continue;
        }
        if (action->isSeparator())
            continue;
        bool ok = false;
        const int id = action->data().toInt(&ok);
        if (!ok || !update || !update(id, action))
            action->setEnabled(false);
    }
}

CGfxPopupMenu* CGfxPopupMenu::CreateEditMenu(QLineEdit* edit, bool library)
{
    auto* menu = new CGfxPopupMenu(edit);
    auto add = [&](const QString& text, int id) {
        QAction* a = menu->addAction(text);
        a->setData(id);
        return a;
    };
    QAction* undo = add(QStringLiteral("元に戻す(&U)"), ID_EDIT_UNDO);
    menu->addSeparator();
    QAction* cut = add(QStringLiteral("切り取り(&T)"), ID_EDIT_CUT);
    QAction* copy = add(library ? QStringLiteral("ｺﾋﾟｰ(&C)") : QStringLiteral("コピー(&C)"), ID_EDIT_COPY);
    QAction* paste = add(QStringLiteral("貼り付け(&P)"), ID_EDIT_PASTE);
    QObject::connect(undo, &QAction::triggered, edit, &QLineEdit::undo);
    QObject::connect(cut, &QAction::triggered, edit, &QLineEdit::cut);
    QObject::connect(copy, &QAction::triggered, edit, &QLineEdit::copy);
    QObject::connect(paste, &QAction::triggered, edit, &QLineEdit::paste);
    menu->LoadToolBar(library ? IDR_GFX_EDIT_LIBRARY : IDR_GFX_EDIT);
    menu->MakeOwnerDraw(menu);
    UpdateCommandStates(menu, [edit](int id, QAction* a) {
        switch (id) {
        case ID_EDIT_UNDO:
            a->setEnabled(edit->isUndoAvailable());
            return true;
        case ID_EDIT_CUT:
        case ID_EDIT_COPY:
            a->setEnabled(edit->hasSelectedText());
            return true;
        case ID_EDIT_PASTE: {
            const QMimeData* data = QApplication::clipboard()->mimeData();
            a->setEnabled(!edit->isReadOnly() && data && data->hasText());
            return true;
        }
        default:
            return false;
        }
    });
    return menu;
}
