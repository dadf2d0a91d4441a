#pragma once
// Print dialog ("印刷"): the displayed image on one page, or a list of layer patterns one page
// each; paper, orientation, offsets and scale; colour printing with a grey for white; mirror,
// grid and fill options and reverse page order. It answers the page count and each page's layers.

#include "libui/ItemDialog.h"

#include <string>
#include <vector>

class CCheckListBox;
class CNumEdit;
class CNumSpinCtrl;
class CRadioGroup;
class CSpinButton;
class QCheckBox;
class QComboBox;
class QSlider;

class CDlgPrint : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 149,
        IdGrid = 1036,
        IdColor = 1037,
        IdGrey = 1038,
        IdGreySlider = 1039,
        IdVertical = 1040,
        IdHorizontal = 1041,
        IdScale = 1042,
        IdVerticalSpin = 1043,
        IdHorizontalSpin = 1044,
        IdScaleSpin = 1045,
        IdMirror = 1046,
        IdPattern = 1126,
        IdList = 1134,
        IdImageMode = 1135,
        IdListMode = 1136,
        IdFillAll = 1300,
        IdFillWide = 1301,
        IdPaper = 1331,
        IdLandscape = 1332,
        IdPortrait = 1333,
        IdReverse = 1363
    };
    static constexpr int kPapersListed = 8; // the combo lists indices 0 to 7

    explicit CDlgPrint(QWidget* parent = nullptr);

    int m_bPreview = 0;
    // "1 : " or "0 : " (ticked or not) followed by the pattern text "name : file :layers".
    std::vector<std::string> m_printList;
    int m_nMode = 0;  // 0 displayed image, 1 list
    int m_nPaper = 2; // index of the paper table
    int m_nPaperCode = 0;
    int m_nOrientation = 1; // 0 landscape, 1 portrait
    int m_nVertical = 0;    // mm
    int m_nHorizontal = 0;  // mm
    double m_dScale = 1.0;
    int m_bColor = 0;
    int m_nGrey = 128;
    int m_bMirror = 0;
    int m_bGrid = 0;
    int m_bFillAll = 0;
    int m_bFillWide = 0;
    int m_bReverse = 0;

    static std::string GetPaperName(int index);
    static int GetPaperCode(int index);
    // 1 in image mode; in list mode the number of ticked entries.
    int GetPageCount() const;
    // The 0-based layers of the page-th (1-based) ticked entry followed by -1, counted from the end
    // with "Printer"/"Reverse"; layers is left as it is when there is no such page.
    void GetPageLayers(int page, std::vector<int>& layers);

    void accept() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    void EnableControls();
    void OnPattern();

    CCheckListBox* m_list;
    CRadioGroup* m_mode;
    QComboBox* m_paper;
    CRadioGroup* m_orientation;
    QLineEdit* m_vertical;
    QLineEdit* m_horizontal;
    CSpinButton* m_verticalSpin = nullptr;
    CSpinButton* m_horizontalSpin = nullptr;
    CNumEdit* m_scale;
    CNumSpinCtrl* m_scaleSpin = nullptr;
    QCheckBox* m_color;
    QLineEdit* m_grey;
    QSlider* m_slider;
    QCheckBox* m_mirror;
    QCheckBox* m_grid;
    QCheckBox* m_fillAll;
    QCheckBox* m_fillWide;
    QCheckBox* m_reverse;
    bool m_bShowing = false;
};
