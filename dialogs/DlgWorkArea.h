#pragma once
// Work area dialog ("作業エリアの変更"): the board's size and its user origin in millimetres.

#include "libui/ItemDialog.h"

class CNumEdit;
class CNumSpinCtrl;

class CDlgWorkArea : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 180,
        IdWidth = 1306,
        IdHeight = 1307,
        IdOriginX = 1308,
        IdOriginY = 1309,
        IdWidthSpin = 1310,
        IdHeightSpin = 1311,
        IdOriginXSpin = 1312,
        IdOriginYSpin = 1313
    };

    explicit CDlgWorkArea(QWidget* parent = nullptr);

    double m_dWidth = 0.0;
    double m_dHeight = 0.0;
    double m_dOriginX = 0.0;
    double m_dOriginY = 0.0;

    void accept() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    CNumEdit* m_width;
    CNumEdit* m_height;
    CNumEdit* m_originX;
    CNumEdit* m_originY;
    CNumSpinCtrl* m_widthSpin = nullptr;
    CNumSpinCtrl* m_heightSpin = nullptr;
    CNumSpinCtrl* m_originXSpin = nullptr;
    CNumSpinCtrl* m_originYSpin = nullptr;
};
