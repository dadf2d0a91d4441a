#include "libui/DlgPointIn.h"

#include "libui/DialogBuilder.h"
#include "libui/FormulaEdit.h"
#include "libui/HistoryCombo.h"
#include "libui/InputFields.h"
#include "libui/SpinButton.h"
#include "model/input/InputUnits.h"
#include "platform/Messages.h"
#include "platform/Profile.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

// An integer field with its up-down beside it, in one cell of the grid.
QLineEdit* AddSpinField(CDialogBuilder& b, int id, int spinId, CSpinButton*& spin, int row, int column)
{
    auto* edit = b.Add(id, new QLineEdit(b.Dialog()), -1, 0);
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    edit->setMaximumWidth(56);
    spin = b.Add(spinId, new CSpinButton(b.Dialog()), -1, 0);
    spin->SetBuddyWidget(edit);
    auto* cell = new QHBoxLayout;
    cell->setSpacing(0);
    cell->addWidget(edit);
    cell->addWidget(spin);
    cell->addStretch();
    b.Grid()->addLayout(cell, row, column);
    return edit;
}

} // namespace

CDlgPointIn::CDlgPointIn(QWidget* parent) : QDialog(parent)
{
    m_grid.kind = CInputUnits::NoGrid;
    setWindowTitle(QString::fromUtf8("数値設定"));
    setObjectName(QString::number(IDD));
    CDialogBuilder b(this);
    b.Label(QString::fromUtf8("座標(&O)"), 0, 0);
    m_posCombo = b.Add(IdPosition, new CHistoryCombo(false, this), 0, 1, 1, 4);
    m_posCombo->setMinimumWidth(220);
    m_posEdit = AttachFormulaEdit(m_posCombo);
    m_units = AddUnitButtons(b, 1, 1);
    b.Label(QString::fromUtf8("角度(&A)"), 2, 0);
    m_angleCombo = b.Add(IdAngle, new CHistoryCombo(false, this), 2, 1, 1, 3);
    m_angleEdit = AttachFormulaEdit(m_angleCombo);
    b.Label(QString::fromUtf8("°"), 2, 4);
    b.Label(QString::fromUtf8("リピート(&T)"), 3, 0);
    m_repeatEdit = AddSpinField(b, IdRepeat, IdRepeatSpin, m_repeatSpin, 3, 1);
    b.Label(QString::fromUtf8("文字増減(&B)"), 3, 2);
    m_countEdit = AddSpinField(b, IdCount, IdCountSpin, m_countSpin, 3, 3);
    m_mode = new QButtonGroup(this);
    b.Radio(m_mode, IdAbsolute, QString::fromUtf8("絶対(&S)"), 4, 1);
    b.Radio(m_mode, IdRelative, QString::fromUtf8("相対(&C)"), 4, 2);

    struct Arrow
    {
        int id;
        const char* caption;
        int row, column, kind;
    };
    const Arrow arrows[] = {{IdUp, "↑ (&U)", 5, 2, CInputUnits::StepUp},
                            {IdDown, "↓ (&D)", 7, 2, CInputUnits::StepDown},
                            {IdLeft, "← (&L)", 6, 1, CInputUnits::StepLeft},
                            {IdRight, "→ (&R)", 6, 3, CInputUnits::StepRight}};
    for (const Arrow& arrow : arrows) {
        QPushButton* button = b.Button(arrow.id, QString::fromUtf8(arrow.caption), arrow.row, arrow.column);
        connect(button, &QPushButton::clicked, this, [this, kind = arrow.kind] { IncMove(kind); });
    }
    b.OkCancel(0, 5);
    QPushButton* scale = b.Button(IdScale, QString::fromUtf8("倍(&L)"), 6, 2);
    connect(scale, &QPushButton::clicked, this, [this] { IncMove(CInputUnits::StepScale); });

    m_posEdit->installEventFilter(this);
    connect(m_posEdit, &QLineEdit::textChanged, this, &CDlgPointIn::UpdateEnabling);
    // A chosen list item and the mode buttons run the exchange, which also sets the enabling.
    connect(m_posCombo, &QComboBox::activated, this, [this] { Exchange(); });
    connect(m_mode, &QButtonGroup::idClicked, this, [this] { Exchange(); });
}

void CDlgPointIn::showEvent(QShowEvent* event)
{
    if (!m_initialised)
        OnInitDialog();
    QDialog::showEvent(event);
}

void CDlgPointIn::OnInitDialog()
{
    m_initialised = true;
    const platform::Profile& profile = platform::GetProfile();
    m_relative = profile.GetInt("PointIn", "Abs", 0) != 0 ? 1 : 0;
    m_unit = CInputUnits::Usable(profile.GetInt("PointIn", "Unit", 0), m_grid);
    m_mode->button(m_relative ? IdRelative : IdAbsolute)->setChecked(true);
    m_units->button(UnitButtonId(m_unit))->setChecked(true);
    m_posCombo->LoadHistory("NumberIn", "Pos", false, nullptr);
    m_angleCombo->LoadHistory("NumberIn", "Ang", false, nullptr);
    m_units->button(UnitButtonId(CInputUnits::Grid))->setEnabled(m_grid.kind == 0);
    m_repeatSpin->SetRange(0, 100);
    m_repeatSpin->SetPosition(m_repeat);
    if (!m_copy)
        m_count = 0;
    m_countSpin->SetRange(-99, 99);
    m_countSpin->SetPosition(m_count);
    UpdateEnabling();
}

void CDlgPointIn::UpdateEnabling()
{
    const bool relative = m_mode->checkedId() == IdRelative;
    m_repeatEdit->setEnabled(m_copy && relative);
    m_repeatSpin->setEnabled(m_copy && relative);
    m_countEdit->setEnabled(m_copy);
    m_countSpin->setEnabled(m_copy);
    const bool steps = relative && !m_posEdit->text().isEmpty();
    for (int id : {int(IdUp), int(IdDown), int(IdLeft), int(IdRight), int(IdScale)})
        FindControl(this, id)->setEnabled(steps);
}

bool CDlgPointIn::Exchange()
{
    m_relative = m_mode->checkedId() == IdRelative ? 1 : 0;
    if (!CheckIntRange(m_repeatEdit, 0, 100, m_repeat) || !CheckIntRange(m_countEdit, -99, 99, m_count))
        return false;
    m_unit = UnitOfButton(m_units->checkedId());
    UpdateEnabling();
    // A field that is not empty must evaluate; no result is kept from an earlier exchange.
    m_angle = 0.0;
    if (!m_angleEdit->text().trimmed().isEmpty()) {
        double angle = 0.0;
        if (ReadValues(m_angleEdit, &angle, 1) == 0)
            return false;
        m_angle = angle;
    }
    m_first = m_second = 0.0;
    if (!m_posEdit->text().trimmed().isEmpty()) {
        double values[2] = {0.0, 0.0};
        const int count = ReadValues(m_posEdit, values, 2);
        if (count == 0)
            return false;
        m_first = values[0];
        m_second = count == 2 ? values[1] : values[0];
    }
    return true;
}

void CDlgPointIn::accept()
{
    if (!Exchange())
        return;
    const bool noPosition = m_posEdit->text().trimmed().isEmpty();
    const bool noAngle = m_angleEdit->text().trimmed().isEmpty();
    if (noPosition && noAngle)
        return;
    m_scale = 0;
    m_angle = noAngle ? 0.0 : CInputUnits::FoldAngle(m_angle);
    const double x = noPosition ? 0.0 : m_first * CInputUnits::Factor(m_unit, m_grid, 0);
    const double y = noPosition ? 0.0 : m_second * CInputUnits::Factor(m_unit, m_grid, 1);
    const std::string refusal = CInputUnits::ZeroCheck(x, y, m_angle, false);
    if (!refusal.empty()) {
        AfxMessageBox(refusal, MB_OK);
        return;
    }
    m_point = CDPoint(x, y);
    Finish(false);
}

void CDlgPointIn::IncMove(int kind)
{
    if (!Exchange() || !m_relative || m_posEdit->text().trimmed().isEmpty() || m_first == 0.0)
        return;
    double x = 0.0, y = 0.0;
    CInputUnits::StepPoint(kind, m_first, m_second, x, y);
    m_angle = 0.0;
    const bool scale = kind == CInputUnits::StepScale;
    x *= CInputUnits::Factor(m_unit, m_grid, 0);
    y *= CInputUnits::Factor(m_unit, m_grid, 1);
    const std::string refusal = CInputUnits::ZeroCheck(x, y, 0.0, scale);
    if (!refusal.empty()) {
        AfxMessageBox(refusal, MB_OK);
        return;
    }
    m_scale = scale ? 1 : 0;
    m_point = CDPoint(x, y);
    Finish(true);
}

bool CDlgPointIn::Finish(bool stepped)
{
    m_stepped = stepped;
    platform::Profile& profile = platform::GetProfile();
    profile.SetInt("PointIn", "Abs", stepped ? 1 : m_relative);
    profile.SetInt("PointIn", "Unit", m_unit);
    m_posCombo->SaveHistory(true);
    m_angleCombo->SaveHistory(true);
    QDialog::accept();
    return true;
}

bool CDlgPointIn::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_posEdit || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->modifiers() & Qt::ShiftModifier) || m_posCombo->view()->isVisible() ||
        m_posEdit->hasSelectedText())
        return false;
    int kind = -1;
    switch (key->key()) {
    case Qt::Key_Up:
        kind = CInputUnits::StepUp;
        break;
    case Qt::Key_Down:
        kind = CInputUnits::StepDown;
        break;
    case Qt::Key_PageUp:
        kind = CInputUnits::StepScale;
        break;
    case Qt::Key_Left:
        if (m_posEdit->cursorPosition() == 0)
            kind = CInputUnits::StepLeft;
        break;
    case Qt::Key_Right:
        if (m_posEdit->cursorPosition() == m_posEdit->text().length())
            kind = CInputUnits::StepRight;
        break;
    default:
        break;
    }
    // Without relative mode the keys keep their ordinary meaning.
    if (kind < 0 || m_mode->checkedId() != IdRelative || m_posEdit->text().trimmed().isEmpty())
        return false;
    IncMove(kind);
    return true;
}

bool CDlgPointIn::Run(PointInDialogData& data, QWidget* parent)
{
    CDlgPointIn dialog(parent);
    if (data.hasGrid)
        dialog.SetGrid(data.grid);
    dialog.SetCopy(data.copy);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    data.x = dialog.GetPoint().x;
    data.y = dialog.GetPoint().y;
    data.angleDeg = dialog.GetAngle();
    data.moveAction = dialog.MoveAction();
    data.scale = dialog.IsScale();
    data.repeat = dialog.GetRepeat();
    data.count = dialog.GetCount();
    return true;
}
