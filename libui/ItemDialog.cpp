#include "libui/ItemDialog.h"

#include "libui/FormulaEdit.h"
#include "libui/NumEdit.h"
#include "model/geometry/DPoint.h"
#include "libui/NumSpinCtrl.h"
#include "libui/SpinButton.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/qt/QtText.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>

bool ReadTableField(const QString& text, int maximum, int& value)
{
    bool ok = false;
    int number = text.trimmed().toInt(&ok);
    if (!ok)
        number = 0;
    if (number < 0) {
        value = number;
        return true;
    }
    if (number > maximum)
        return false;
    qsizetype first = 0;
    while (first < text.size() && (text[first] == QLatin1Char('*') || text[first] == QLatin1Char(' ') ||
                                   text[first] == QLatin1Char('\t')))
        ++first;
    if (first == text.size())
        return false;
    value = number;
    return true;
}

bool CheckTableField(QLineEdit* field, bool multiple, int minimum, int maximum, int& value)
{
    if (multiple && field->text().trimmed() == QStringLiteral("***")) {
        value = -1;
        return true;
    }
    return CheckIntRange(field, minimum, maximum, value);
}

bool FieldText(QLineEdit* field, std::string& text)
{
    if (std::optional<std::string> bytes = platform::QStringToCp932(field->text())) {
        text = std::move(*bytes);
        return true;
    }
    AfxMessageBox(_J("この文字列には使用できない文字が含まれています。"), MB_OK | MB_ICONEXCLAMATION);
    field->setFocus();
    field->selectAll();
    return false;
}

CItemDialog::CItemDialog(int templateId, const QString& caption, QWidget* parent)
    : QDialog(parent), m_builder(std::make_unique<CDialogBuilder>(this))
{
    setObjectName(QString::number(templateId));
    setWindowTitle(caption);
    Grid()->setSizeConstraint(QLayout::SetFixedSize);
}

CItemDialog::~CItemDialog() = default;

bool CItemDialog::UpdateData(bool save)
{
    return DoDataExchange(save);
}

int CItemDialog::DoModal()
{
    return exec();
}

void CItemDialog::showEvent(QShowEvent* event)
{
    if (!m_initialised) {
        m_initialised = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void CItemDialog::ExchangeOnClick(QAbstractButton* button)
{
    connect(button, &QAbstractButton::clicked, this, [this] { UpdateData(true); });
}

void CItemDialog::NoInputMethod(QWidget* field)
{
    field->setAttribute(Qt::WA_InputMethodEnabled, false);
}

QGridLayout* CItemDialog::AddGroup(const QString& caption, int row, int column, int rowSpan, int columnSpan)
{
    return AddGroup(Grid(), caption, row, column, rowSpan, columnSpan);
}

QGridLayout* CItemDialog::AddGroup(QGridLayout* outer, const QString& caption, int row, int column,
                                   int rowSpan, int columnSpan)
{
    // The frame and the grid share the cell; the controls stay children of the dialog, so that
    // they keep their ids there, and are drawn over the frame, which was made before them.
    auto* frame = new QGroupBox(caption, this);
    outer->addWidget(frame, row, column, rowSpan, columnSpan);
    auto* inner = new QGridLayout;
    const int top = frame->fontMetrics().height() + 8;
    inner->setContentsMargins(10, top, 10, 8);
    outer->addLayout(inner, row, column, rowSpan, columnSpan);
    return inner;
}

CNumEdit* CItemDialog::AddNumField(QGridLayout* grid, int id, int spinId, CNumSpinCtrl*& spin, int row,
                                   int column)
{
    auto* edit = Builder().Add(id, new CNumEdit(this), -1, 0);
    edit->setFixedWidth(72);
    spin = Builder().Add(spinId, new CNumSpinCtrl(this), -1, 0);
    spin->SetBuddy(edit);
    auto* cell = new QHBoxLayout;
    cell->setSpacing(0);
    cell->addWidget(edit);
    cell->addWidget(spin);
    cell->addStretch();
    grid->addLayout(cell, row, column);
    return edit;
}

QLineEdit* CItemDialog::AddIntField(QGridLayout* grid, int id, int spinId, CSpinButton*& spin, int row,
                                    int column)
{
    auto* edit = Builder().Add(id, new QLineEdit(this), -1, 0);
    NoInputMethod(edit);
    edit->setFixedWidth(56);
    spin = Builder().Add(spinId, new CSpinButton(this), -1, 0);
    spin->SetBuddyWidget(edit);
    auto* cell = new QHBoxLayout;
    cell->setSpacing(0);
    cell->addWidget(edit);
    cell->addWidget(spin);
    cell->addStretch();
    grid->addLayout(cell, row, column);
    return edit;
}

void CItemDialog::SetDigitsOnly(QLineEdit* field, bool digitsOnly)
{
    if (digitsOnly) {
        if (!field->validator())
            field->setValidator(
                new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), field));
    } else {
        field->setValidator(nullptr);
    }
}

bool ReadPositionFields(CFormulaEdit* x, CFormulaEdit* y, bool editing, CDPoint& point)
{
    if (!editing && x->IsChanged() != y->IsChanged()) {
        AfxMessageBox(_J("座標指定エラー"), MB_OK);
        return false;
    }
    CDPoint read = point;
    for (CFormulaEdit* edit : {x, y}) {
        if (!edit->IsChanged())
            continue;
        double value = 0.0;
        if (edit->text().trimmed().isEmpty()) {
            AfxMessageBox(_J("座標指定エラー"), MB_OK);
            edit->setFocus();
            return false;
        }
        if (!edit->GetValue(&value, 1)) {
            edit->setFocus();
            return false;
        }
        (edit == x ? read.x : read.y) = value;
    }
    point = read;
    return true;
}
