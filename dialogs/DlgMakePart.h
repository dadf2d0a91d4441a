#pragma once
// Make part dialog ("部品化"): name, reference, value, block numbering, type, kind and options of
// a new part made from the selected items.

#include "libui/ItemDialog.h"

#include <string>

class CRadioGroup;
class QCheckBox;
class QLineEdit;

class CDlgMakePart : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 155,
        IdName = 1073,
        IdReference = 1074,
        IdDip = 1075,
        IdSmd = 1076,
        IdCardEdge = 1077,
        IdNonCircuit = 1078,
        IdBlockCount = 1079,
        IdBlockNumber = 1080,
        IdModule = 1090,
        IdDiscrete = 1091,
        IdConnector = 1092,
        IdUndefined = 1093,
        IdPolarity = 1094,
        IdScale = 1095,
        IdProperty = 1096,
        IdValue = 1163,
        IdTerminals = 1178
    };
    // The dialog's messages by string id (2001-2006), CP932.
    static const std::string& Message(int id);

    explicit CDlgMakePart(QWidget* parent = nullptr);

    // In: an empty reference or value means the selection has none.
    std::string m_strName;
    std::string m_strReference;
    std::string m_strValue;
    unsigned m_nBlockNumber = 0;
    int m_nBlockCount = 0;
    int m_nType = 0; // 0 insertion, 1 surface mount, 2 card edge, 3 non-circuit
    int m_nKind = 3; // 0 module, 1 discrete, 2 connector, 3 undefined
    int m_bPolarity = 0;
    int m_bScale = 0;
    int m_nTerminals = 0;
    int m_nPartType = 0; // the part's type word, computed on every exchange

    static int PartTypeWord(int type, int kind, bool polarity, bool scale);

    void accept() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    bool Refuse(int message, int focus);

    CRadioGroup* m_type;
    CRadioGroup* m_kind;
};
