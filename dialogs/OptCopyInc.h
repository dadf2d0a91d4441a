#pragma once
// Option page "コピー＆編集": how copying renumbers part references, terminal numbers and numbers
// in texts (section "CopyIncrement"), and the numbering by clicking parts.

#include "dialogs/OptPage.h"

class CSpinButton;
class QLineEdit;

class COptCopyInc : public COptPage
{
    Q_OBJECT
public:
    enum
    {
        IDD = 167,
        IdPartRefEnable = 1180,
        IdTerNoEnable = 1181,
        IdTextEnable = 1182,
        IdPartRef = 1183,
        IdTerNo = 1184,
        IdText = 1185,
        IdPartRefSpin = 1186,
        IdTerNoSpin = 1187,
        IdTextSpin = 1188,
        IdOrderRef = 1189,
        IdOrderOff = 1190,
        IdOrderOffSpin = 1191,
        IdOrderRef2 = 1192
    };

    explicit COptCopyInc(QWidget* parent = nullptr);

    int m_nPartRefEnable = 1;
    int m_nPartRef = 1;
    int m_nTerNoEnable = 1;
    int m_nTerNo = 1;
    int m_nTextEnable = 0;
    int m_nText = 1;
    int m_nOrderRef = 0;
    int m_nOrderRef2 = 0;
    int m_nOrderOff = 1;

    void OnOK() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    struct Field
    {
        QLineEdit* edit;
        CSpinButton* spin;
        int* value;
    };
    void ApplyEnabling();
    void OnOrderRef();

    Field m_fields[4] = {};
};
