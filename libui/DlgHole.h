#pragma once
// Hole dialog ("ホール設定", "ホール入力" for a new hole): shape, sizes, angle, position and the
// test-coupon and dummy-hole marks of one hole or of several.

#include "libui/ItemDialog.h"
#include "model/geometry/DPoint.h"
#include "model/services/ItemDialogs.h"

class CFormulaEdit;
class CNumEdit;
class CNumSpinCtrl;
class CRadioGroup;
class CTriStateCheck;

class CDlgHole : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 315,
        IdRound = 1638,
        IdLong = 1640,
        IdSquare = 1639,
        IdDiameter = 1609,
        IdDiameterSpin = 1610,
        IdWidth = 1641,
        IdWidthSpin = 1644,
        IdRadius = 1642,
        IdRadiusSpin = 1645,
        IdAngle = 1643,
        IdAngleSpin = 1646,
        IdX = 1607,
        IdY = 1608,
        IdCoupon = 1624,
        IdDummy = 1625
    };

    explicit CDlgHole(QWidget* parent = nullptr);

    double m_diameter = 0.0; // diameter, or the height of a long or square hole
    double m_width = 0.0;
    double m_angle = 0.0; // degrees; -1 unchanged (several holes)
    double m_radius = 0.0;
    bool m_edit = false; // an existing hole
    CDPoint m_point;     // user-origin coordinates
    bool m_multiple = false;
    int m_kind = 0;       // see HoleDialogData::kind
    int m_entryShape = 0; // the shape on entry (several holes)
    int m_dummy = 0;      // check states
    int m_coupon = 0;
    int m_shape = 0; // 0 round, 1 long, 2 square

    void accept() override;

    static bool Run(HoleDialogData& data, QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    void OnShapeClicked();
    void OnDiameterChanged();
    bool ReadPosition();

    CRadioGroup* m_shapeGroup;
    CNumEdit* m_diameterEdit;
    CNumSpinCtrl* m_diameterSpin;
    CNumEdit* m_widthEdit;
    CNumSpinCtrl* m_widthSpin;
    CNumEdit* m_radiusEdit;
    CNumSpinCtrl* m_radiusSpin;
    CNumEdit* m_angleEdit;
    CNumSpinCtrl* m_angleSpin;
    CFormulaEdit* m_xEdit;
    CFormulaEdit* m_yEdit;
    CTriStateCheck* m_couponCheck;
    CTriStateCheck* m_dummyCheck;
    bool m_loading = false;
};
