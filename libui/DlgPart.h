#pragma once
// Part edit dialog ("部品編集"): part name, reference and value with their display switches and
// text attributes, origin, angle, scale, solder side, placed state, four locks and the terminals,
// for one part or (multiple mode) a blank standing for several. It edits a working copy.

#include "libui/ItemDialog.h"
#include "model/geometry/DPoint.h"
#include "model/items/Part.h"
#include "model/services/ItemDialogs.h"

class CFormulaEdit;
class CTriStateCheck;
class DocumentServices;
class QComboBox;
class QLineEdit;
class QPushButton;

class CDlgPart : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 303,
        IdPartName = 1525,
        IdPartNameDisp = 1538,
        IdPartNameFont = 1637,
        IdRef = 1526,
        IdRefDisp = 1540,
        IdRefFont = 1636,
        IdValue = 1605,
        IdValueDisp = 1542,
        IdValueFont = 1635,
        IdX = 1607,
        IdY = 1608,
        IdAngle = 1508,
        IdScale = 1580,
        IdSideLock = 1553,
        IdPositionLock = 1552,
        IdAngleLock = 1551,
        IdScaleLock = 1556,
        IdSolderSide = 1579,
        IdPlaced = 1554,
        IdTerminals = 1606
    };
    // The y of the blank's texts that marks an unchanged position in multiple mode.
    static constexpr double kUnchangedY = 128383.0;

    explicit CDlgPart(QWidget* parent = nullptr);

    void SetMulti() { m_bMulti = true; }
    // In multiple mode the part name may be changed.
    void SetName() { m_bName = true; }
    void SetPoint(const CDPoint& origin, double angle);
    void GetPoint(CDPoint& origin, double& angle) const;
    void SetScale(double scale);
    void SetDocument(DocumentServices* doc) { m_pDoc = doc; }

    CPart m_part; // the working part

    void accept() override;

    static bool Run(PartDialogData& data, QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    bool MayScale() const { return (m_part.GetType() & (PART_SCALABLE | PART_SCALED)) != 0; }
    void UpdateEnabling();
    void OnFontButton(int which);
    void OnTerminals();
    // The field's text as CP932: the text's own bytes while the field still shows them.
    static bool FieldBytes(QLineEdit* field, const std::string& original, std::string& out);

    bool m_bMulti = false;
    bool m_bName = false;
    int m_nPackage = 0, m_nPackageMax = 0;
    CDPoint m_point;
    double m_angle = 0.0; // radians
    DocumentServices* m_pDoc = nullptr;

    int m_nRefDisp = 0, m_nNameDisp = 0, m_nValueDisp = 0;
    int m_nPlaced = 0, m_nSolder = 0;
    int m_nAngleLock = 0, m_nPositionLock = 0, m_nScaleLock = 0, m_nSideLock = 0;

    QLineEdit* m_nameEdit;
    QLineEdit* m_refEdit;
    QComboBox* m_valueCombo;
    CTriStateCheck* m_nameDispCheck;
    CTriStateCheck* m_refDispCheck;
    CTriStateCheck* m_valueDispCheck;
    QPushButton* m_nameFont;
    QPushButton* m_refFont;
    QPushButton* m_valueFont;
    CFormulaEdit* m_xEdit;
    CFormulaEdit* m_yEdit;
    CFormulaEdit* m_angleEdit;
    CFormulaEdit* m_scaleEdit;
    CTriStateCheck* m_sideLockCheck;
    CTriStateCheck* m_positionLockCheck;
    CTriStateCheck* m_angleLockCheck;
    CTriStateCheck* m_scaleLockCheck;
    CTriStateCheck* m_solderCheck;
    CTriStateCheck* m_placedCheck;
    QPushButton* m_terminals;
    QPushButton* m_ok;
};
