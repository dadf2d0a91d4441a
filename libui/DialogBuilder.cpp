#include "libui/DialogBuilder.h"

#include "platform/Messages.h"
#include "platform/RangeText.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>

int ControlId(const QWidget* control)
{
    if (!control)
        return 0;
    bool ok = false;
    const int id = control->objectName().toInt(&ok);
    return ok ? id : 0;
}

QWidget* FindControl(const QWidget* dialog, int id)
{
    if (!dialog || id == 0)
        return nullptr;
    return dialog->findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

namespace {

bool RefuseRange(QLineEdit* field, const std::string& message)
{
    AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
    field->setFocus();
    field->selectAll();
    return false;
}

} // namespace

bool CheckIntRange(QLineEdit* field, int minimum, int maximum, int& value)
{
    bool ok = false;
    const int v = field->text().trimmed().toInt(&ok);
    if (!ok || v < minimum || v > maximum)
        return RefuseRange(field, platform::IntRangeText(minimum, maximum));
    value = v;
    return true;
}

bool CheckNumberRange(QLineEdit* field, double minimum, double maximum, double& value)
{
    bool ok = false;
    const double v = field->text().trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v) || v < minimum || v > maximum)
        return RefuseRange(field, platform::NumberRangeText(minimum, maximum));
    value = v;
    return true;
}

CDialogBuilder::CDialogBuilder(QWidget* dialog) : m_dialog(dialog)
{
    m_grid = qobject_cast<QGridLayout*>(dialog->layout());
    if (!m_grid)
        m_grid = new QGridLayout(dialog);
}

void CDialogBuilder::Place(int id, QWidget* control, int row, int column, int rowSpan, int columnSpan,
                           Qt::Alignment alignment)
{
    if (control->parentWidget() != m_dialog)
        control->setParent(m_dialog);
    if (id != 0)
        control->setObjectName(QString::number(id));
    if (row >= 0)
        m_grid->addWidget(control, row, column, rowSpan, columnSpan, alignment);
    if (m_pendingLabel && control != m_pendingLabel) {
        m_pendingLabel->setBuddy(control);
        m_pendingLabel = nullptr;
    }
}

QLabel* CDialogBuilder::Label(const QString& caption, int row, int column, int rowSpan, int columnSpan)
{
    auto* label = new QLabel(caption, m_dialog);
    Place(0, label, row, column, rowSpan, columnSpan, Qt::Alignment());
    if (caption.contains(QLatin1Char('&')))
        m_pendingLabel = label;
    return label;
}

QPushButton* CDialogBuilder::Button(int id, const QString& caption, int row, int column, int rowSpan,
                                    int columnSpan)
{
    auto* button = new QPushButton(caption, m_dialog);
    button->setAutoDefault(false);
    Place(id, button, row, column, rowSpan, columnSpan, Qt::Alignment());
    return button;
}

QRadioButton* CDialogBuilder::Radio(QButtonGroup* group, int id, const QString& caption, int row, int column,
                                    int rowSpan, int columnSpan)
{
    auto* radio = new QRadioButton(caption, m_dialog);
    if (group)
        group->addButton(radio, id);
    Place(id, radio, row, column, rowSpan, columnSpan, Qt::Alignment());
    return radio;
}

QCheckBox* CDialogBuilder::Check(int id, const QString& caption, int row, int column, int rowSpan,
                                 int columnSpan)
{
    auto* check = new QCheckBox(caption, m_dialog);
    Place(id, check, row, column, rowSpan, columnSpan, Qt::Alignment());
    return check;
}

void CDialogBuilder::OkCancel(int row, int column, Qt::Orientation orientation)
{
    QPushButton* ok = Button(IdOk, QStringLiteral("OK"), row, column);
    QPushButton* cancel = orientation == Qt::Vertical
                              ? Button(IdCancel, QString::fromUtf8("キャンセル"), row + 1, column)
                              : Button(IdCancel, QString::fromUtf8("キャンセル"), row, column + 1);
    ok->setDefault(true);
    if (auto* dialog = qobject_cast<QDialog*>(m_dialog)) {
        QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
        QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    }
}
