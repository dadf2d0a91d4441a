#include "dialogs/DlgWorkArea.h"

#include "dialogs/WorkAreaFields.h"
#include "libui/NumEdit.h"
#include "libui/NumSpinCtrl.h"

#include <QLabel>

CDlgWorkArea::CDlgWorkArea(QWidget* parent) : CItemDialog(IDD, QString::fromUtf8("作業エリアの変更"), parent)
{
    CDialogBuilder& b = Builder();
    auto addField = [&](const char* label, int id, int spinId, CNumSpinCtrl*& spin, int row) {
        b.Label(QString::fromUtf8(label), row, 0);
        CNumEdit* edit = AddNumField(Grid(), id, spinId, spin, row, 1);
        NoInputMethod(edit);
        return edit;
    };
    m_width = addField("幅(&D)", IdWidth, IdWidthSpin, m_widthSpin, 0);
    m_height = addField("高さ(&E)", IdHeight, IdHeightSpin, m_heightSpin, 1);
    m_originX = addField("原点&X", IdOriginX, IdOriginXSpin, m_originXSpin, 2);
    m_originY = addField("原点&Y", IdOriginY, IdOriginYSpin, m_originYSpin, 3);
    b.OkCancel(0, 2);
}

void CDlgWorkArea::OnInitDialog()
{
    SetupWorkAreaSpins({m_widthSpin, m_heightSpin, m_originXSpin, m_originYSpin});
    UpdateData(false);
}

bool CDlgWorkArea::DoDataExchange(bool save)
{
    if (save) {
        m_dWidth = ReadWorkAreaNumber(m_width);
        m_dHeight = ReadWorkAreaNumber(m_height);
        m_dOriginX = ReadWorkAreaNumber(m_originX);
        m_dOriginY = ReadWorkAreaNumber(m_originY);
    } else {
        ShowWorkAreaNumber(m_width, m_dWidth);
        ShowWorkAreaNumber(m_height, m_dHeight);
        ShowWorkAreaNumber(m_originX, m_dOriginX);
        ShowWorkAreaNumber(m_originY, m_dOriginY);
    }
    return true;
}

void CDlgWorkArea::accept()
{
    if (!UpdateData(true) || !CheckWorkArea(m_dWidth, m_dHeight, m_dOriginX, m_dOriginY))
        return;
    QDialog::accept();
}
