#pragma once
// Layer pattern registration ("レイヤパターン登録"): which of the 16 layer patterns a new pattern
// is stored in, under which name, and whether the menu shows it.

#include "libui/ItemDialog.h"

#include <array>
#include <string>

class CSpinButton;
class QCheckBox;
class QLineEdit;

class CDlgPatternRegist : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 174,
        IdNumber = 1264,
        IdSpin = 1265,
        IdName = 1266,
        IdMenu = 1267
    };
    static constexpr int kPatterns = 16;

    explicit CDlgPatternRegist(QWidget* parent = nullptr);

    std::array<std::string, kPatterns> m_names; // CP932, pattern 1 first
    std::array<int, kPatterns> m_menu{};
    int m_nNumber = 1;
    std::string m_strName;
    int m_bMenu = 0;

    void accept() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    void OnNumberEdited();
    void ShowPattern();

    QLineEdit* m_number;
    CSpinButton* m_spin = nullptr;
    QLineEdit* m_name;
    QCheckBox* m_menuCheck;
};
