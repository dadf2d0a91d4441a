#pragma once
// Base of the option pages of the environment settings sheet. A page is a dialog shown inside one
// tab of the sheet: it loads its profile section the first time it is shown, reads its controls
// back (and may refuse a value) when another page becomes current and at OK, and stores its
// section at OK. Enter and Escape belong to the sheet.

#include "libui/ItemDialog.h"

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

class CRadioGroup;
class QCheckBox;
class QGridLayout;

class COptPage : public CItemDialog
{
    Q_OBJECT
public:
    COptPage(int templateId, const QString& caption, QWidget* parent);

    int TemplateId() const { return m_nTemplateId; }

    // The page became current: it is the page the sheet opens with next time.
    virtual void OnSetActive();
    // Another page is about to become current, or OK was pressed: the controls are read back.
    // False (with the message shown) keeps this page current.
    virtual bool OnKillActive() { return UpdateData(true); }
    // At OK, before any page stores: false (with the message shown) keeps the sheet open on this
    // page.
    virtual bool CanApply() { return true; }
    // At OK: writes the page's section.
    virtual void OnOK() {}

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

    // A check box bound to a 0/1 member.
    QCheckBox* BoundCheck(QGridLayout* grid, int id, const char* caption, int& member, int row, int column,
                          int columnSpan = 1);
    // Radio buttons bound to a member holding the index of the ticked one.
    CRadioGroup* BoundRadios(QGridLayout* grid, std::initializer_list<std::pair<int, const char*>> buttons,
                             int& member, int row, int column, bool vertical = true);
    // Moves the bound check boxes and radio groups in either direction.
    void ExchangeBound(bool save);

private:
    int m_nTemplateId;
    std::vector<std::pair<QCheckBox*, int*>> m_checks;
    std::vector<std::pair<CRadioGroup*, int*>> m_radios;
};

// Trailing blanks removed, then one trailing separator (either kind) unless it is the whole path.
std::string TrimFolder(const std::string& text);
