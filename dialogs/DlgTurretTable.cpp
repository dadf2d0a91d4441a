#include "dialogs/DlgTurretTable.h"

#include "controls/GfxListCtrl.h"
#include "document/NumberText.h"
#include "libui/SpinButton.h"
#include "platform/J.h"
#include "platform/Numbers.h"

#include <QLabel>
#include <QLineEdit>

#include <cmath>

namespace {

enum Column
{
    ColNone,
    ColNumber,
    ColShape,
    ColOuter,
    ColInner,
    ColLines,
    ColArcs,
    ColSurfaces,
    ColLands,
    ColTexts
};

bool HasInner(int shape)
{
    return shape == TURRET_DONUT || shape == TURRET_THERMAL;
}

// The typed number to four decimals; false for text that holds none.
bool ReadSize(const std::string& text, double& value)
{
    const char* end = nullptr;
    const double typed = platform::Strtod(text.c_str(), &end);
    if (end == text.c_str() || !std::isfinite(typed))
        return false;
    value = platform::Atof(platform::Format("%.4f", typed));
    return true;
}

} // namespace

CDlgTurretTable::CDlgTurretTable(QWidget* parent)
    : CNumberedTableDialog(IDD, QString::fromUtf8("タレットテーブル"), IdGrid, parent),
      m_typeFont(QString::fromUtf8("IPAPGothic"))
{
    m_typeFont.setPointSize(9);
    QGridLayout* defaults = AddGroup(QString::fromUtf8("入力初期値"), 0, 0);
    Put(defaults, Builder().Label(QString::fromUtf8("ライン(&L)"), -1, 0), 0, 0);
    m_line = AddIntField(defaults, IdLine, IdLineSpin, m_lineSpin, 0, 1);
    Put(defaults, Builder().Label(QString::fromUtf8("ランド(&D)"), -1, 0), 0, 2);
    m_land = AddIntField(defaults, IdLand, IdLandSpin, m_landSpin, 0, 3);
    Builder().OkCancel(0, 1, Qt::Horizontal);
    AddGrid(1, 3);
}

const std::string& CDlgTurretTable::ShapeName(int shape)
{
    static const std::string kNames[4] = {_J("円"), _J("角"), _J("ﾄﾞｰﾅﾂ"), _J("ｻｰﾏﾙ")};
    static const std::string kNone;
    return shape >= 0 && shape < 4 ? kNames[shape] : kNone;
}

void CDlgTurretTable::Normalise(tagTURRET& turret)
{
    if (HasInner(turret.shape)) {
        if (turret.size2 >= turret.size1 || turret.size2 == 0.0)
            turret.size2 = turret.size1 / 2.0;
    } else if (turret.shape == TURRET_ROUND || turret.shape == TURRET_SQUARE) {
        turret.size2 = 0.0;
    }
}

void CDlgTurretTable::OnInitDialog()
{
    SetupGrid({{ColNone, "", LVCFMT_LEFT, 0, 0x180},
               {ColNumber, "No", LVCFMT_RIGHT, 40, 0xA8},
               {ColShape, "タイプ", LVCFMT_LEFT, 50, 0x1},
               {ColOuter, "外寸", LVCFMT_RIGHT, 40, 0x4},
               {ColInner, "内寸", LVCFMT_RIGHT, 40, 0x4},
               {ColLines, "ライン", LVCFMT_RIGHT, 50, 0xA8},
               {ColArcs, "円弧", LVCFMT_RIGHT, 50, 0xA8},
               {ColSurfaces, "面", LVCFMT_RIGHT, 50, 0xA8},
               {ColLands, "ランド", LVCFMT_RIGHT, 50, 0xA8},
               {ColTexts, "文字", LVCFMT_RIGHT, 50, 0xA8}},
              {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, kRows, 0xFF);
    for (CSpinButton* spin : {m_lineSpin, m_landSpin})
        spin->SetRange(0, TURRET_MAX);
    UpdateData(false);
}

bool CDlgTurretTable::DoDataExchange(bool save)
{
    if (save)
        return CheckIntRange(m_line, 0, TURRET_MAX, m_nLineTurret) &&
               CheckIntRange(m_land, 0, TURRET_MAX, m_nLandTurret);
    m_lineSpin->SetPosition(m_nLineTurret);
    m_landSpin->SetPosition(m_nLandTurret);
    m_line->setText(QString::number(m_nLineTurret));
    m_land->setText(QString::number(m_nLandTurret));
    return true;
}

void CDlgTurretTable::CellText(int id, int row, std::string& out)
{
    if (row < 0 || row >= kRows)
        return;
    const tagTURRET& turret = m_turrets[static_cast<std::size_t>(row + 1)];
    switch (id) {
    case ColNumber:
        out = platform::Format("%3d", row + 1);
        break;
    case ColShape:
        out = ShapeName(turret.shape);
        break;
    case ColOuter:
        out = FormatNumber(turret.size1);
        break;
    case ColInner:
        if (HasInner(turret.shape))
            out = FormatNumber(turret.size2);
        break;
    case ColLines:
    case ColArcs:
    case ColSurfaces:
    case ColLands:
    case ColTexts:
        if (const int count =
                m_usage[static_cast<std::size_t>(row + 1)][static_cast<std::size_t>(id - ColLines)])
            out = std::to_string(count);
        break;
    default:
        break;
    }
}

int CDlgTurretTable::CellRequest(LXHDREX* request)
{
    const int row = static_cast<int>(request->lParam);
    if (row < 0 || row >= kRows)
        return 0;
    tagTURRET& turret = m_turrets[static_cast<std::size_t>(row + 1)];
    switch (request->nCode) {
    case GFXREQ_FORMAT:
        if (request->nSubItem != ColShape)
            return 0;
        request->font = m_typeFont;
        request->cFormat |= GFXFMT_FONT;
        return 1;
    case GFXREQ_CHOICES:
        if (request->nSubItem != ColShape || !request->pChoices)
            return 0;
        for (int shape = 0; shape < 4; ++shape)
            request->pChoices->push_back(ShapeName(shape));
        return 1;
    case GFXREQ_ENDEDIT: {
        double value = 0.0;
        if (request->nSubItem == ColShape) {
            for (int shape = 0; shape < 4; ++shape)
                if (request->strText == ShapeName(shape))
                    turret.shape = shape;
        } else if (request->nSubItem == ColOuter && ReadSize(request->strText, value)) {
            turret.size1 = value;
            request->strText = FormatNumber(value);
            List()->viewport()->update();
            return 1;
        } else if (request->nSubItem == ColInner && ReadSize(request->strText, value)) {
            // An inner size needs a donut or thermal and must stay below the outer size.
            const bool kept = HasInner(turret.shape) && value < turret.size1;
            turret.size2 = kept ? value : 0.0;
            request->strText = kept ? FormatNumber(value) : std::string();
            List()->viewport()->update();
            return 1;
        }
        // Anything else shows the stored value again.
        List()->viewport()->update();
        return 0;
    }
    default:
        return 0;
    }
}

void CDlgTurretTable::accept()
{
    if (!UpdateData(true))
        return;
    for (tagTURRET& turret : m_turrets)
        Normalise(turret);
    CNumberedTableDialog::accept();
}
