#include "dialogs/OptPage.h"

#include "libui/RadioGroup.h"
#include "platform/Cp932.h"
#include "platform/Profile.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QRadioButton>

COptPage::COptPage(int templateId, const QString& caption, QWidget* parent)
    : CItemDialog(templateId, caption, parent), m_nTemplateId(templateId)
{
    // A page lives inside the sheet's tab, not in a window of its own.
    setWindowFlags(Qt::Widget);
    Grid()->setSizeConstraint(QLayout::SetDefaultConstraint);
    Grid()->setAlignment(Qt::AlignTop | Qt::AlignLeft);
}

void COptPage::OnSetActive()
{
    platform::GetProfile().SetInt("Settings", "EnvPage", m_nTemplateId);
}

void COptPage::keyPressEvent(QKeyEvent* event)
{
    // The dialog's own handling would close the page; the sheet closes instead.
    QWidget::keyPressEvent(event);
}

void COptPage::showEvent(QShowEvent* event)
{
    // Pages are as tall as the tallest: the space left over goes below the controls.
    if (!IsInitialised())
        Grid()->setRowStretch(Grid()->rowCount(), 1);
    CItemDialog::showEvent(event);
}

QCheckBox* COptPage::BoundCheck(QGridLayout* grid, int id, const char* caption, int& member, int row,
                                int column, int columnSpan)
{
    QCheckBox* check =
        Put(grid, Builder().Check(id, QString::fromUtf8(caption), -1, 0), row, column, 1, columnSpan);
    m_checks.emplace_back(check, &member);
    return check;
}

CRadioGroup* COptPage::BoundRadios(QGridLayout* grid,
                                   std::initializer_list<std::pair<int, const char*>> buttons, int& member,
                                   int row, int column, bool vertical)
{
    auto* group = new CRadioGroup(this);
    int index = 0;
    for (const auto& [id, caption] : buttons) {
        QRadioButton* radio = Builder().Radio(nullptr, id, QString::fromUtf8(caption), -1, 0);
        group->Add(radio, index);
        Put(grid, radio, vertical ? row + index : row, vertical ? column : column + index);
        ++index;
    }
    m_radios.emplace_back(group, &member);
    return group;
}

void COptPage::ExchangeBound(bool save)
{
    for (auto& [check, member] : m_checks) {
        if (save)
            *member = check->isChecked() ? 1 : 0;
        else
            check->setChecked(*member != 0);
    }
    for (auto& [group, member] : m_radios) {
        if (save) {
            if (group->Get() >= 0)
                *member = group->Get();
        } else {
            group->Set(*member);
        }
    }
}

std::string TrimFolder(const std::string& text)
{
    std::string folder = text;
    while (!folder.empty() && (folder.back() == ' ' || folder.back() == '\t'))
        folder.pop_back();
    // A trailing 0x5C may be the trail byte of a double-byte character: only a lone byte counts.
    if (folder.size() > 1 &&
        (folder.back() == '/' || platform::FindLastByte(folder, '\\') == folder.size() - 1))
        folder.pop_back();
    return folder;
}
