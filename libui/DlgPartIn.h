#pragma once
// Part input dialog ("部品入力"): the part to place (typed, from the history of placed parts or
// chosen in the part library browser), its reference and value, which of its texts to show, the
// solder side, the part layers to leave out, and optionally its position and angle.

#include "libui/ItemDialog.h"
#include "model/geometry/DPoint.h"
#include "model/services/ItemDialogs.h"

#include <QString>
#include <vector>

class CFormulaEdit;
class CHistoryCombo;
class CTriStateCheck;
class DocumentServices;
class QCheckBox;
class QComboBox;
class QLineEdit;

class CDlgPartIn : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 308,
        IdPartName = 1578,
        IdLibrary = 1594,
        IdPartNameDisp = 1604,
        IdRef = 1526,
        IdRefDisp = 1540,
        IdValue = 1605,
        IdValueDisp = 1542,
        IdSolderSide = 1579,
        IdX = 1607,
        IdY = 1608,
        IdAngle = 1603,
        IdAll = 1595
    };
    // One excluded-layer box: its id, caption and the mask bits it stands for.
    struct MaskBox
    {
        int id;
        const char* caption;
        unsigned bits;
    };
    static const std::vector<MaskBox>& MaskBoxes();

    explicit CDlgPartIn(QWidget* parent = nullptr);

    unsigned m_nMask = 0; // excluded part layers, high 16 bits
    CDPoint m_point;
    double m_dAngle = 0.0; // radians
    bool m_bXGiven = false, m_bYGiven = false, m_bAngleGiven = false;
    QString m_reference;
    int m_nPartNameDisp = 0, m_nRefDisp = 2, m_nValueDisp = 2;
    QString m_value;
    QString m_partName;
    int m_nSolder = 0;
    DocumentServices* m_pDoc = nullptr;

    void accept() override;

    static bool Run(PartInDialogData& data, QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    void OnAll();
    void OnLibrary();

    CHistoryCombo* m_nameCombo;
    QCheckBox* m_nameDispCheck;
    QLineEdit* m_refEdit;
    CTriStateCheck* m_refDispCheck;
    QComboBox* m_valueCombo;
    CTriStateCheck* m_valueDispCheck;
    QCheckBox* m_solderCheck;
    CFormulaEdit* m_xEdit;
    CFormulaEdit* m_yEdit;
    CFormulaEdit* m_angleEdit;
    std::vector<QCheckBox*> m_maskChecks;
};
