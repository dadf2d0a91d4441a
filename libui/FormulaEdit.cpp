#include "libui/FormulaEdit.h"

#include "model/input/FormulaList.h"
#include "platform/Messages.h"
#include "platform/qt/QtText.h"

#include <QMouseEvent>

CFormulaEdit::CFormulaEdit(QWidget* parent) : QLineEdit(parent)
{
    // Formulas are typed in single-byte characters.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (platform::QStringToCp932(text))
            m_good = text;
        else
            setText(m_good); // a character the text cannot hold is refused where typed
    });
}

std::string CFormulaEdit::GetText() const
{
    return platform::QStringToCp932(text()).value_or(std::string());
}

int CFormulaEdit::GetValueCount()
{
    const std::string normal = CFormulaList::Normalize(GetText());
    const QString shown = platform::Cp932ToQString(normal);
    if (shown != text())
        setText(shown);
    return CFormulaList::Count(normal);
}

bool CFormulaEdit::GetValue(double* values, int maximum)
{
    if (GetValueCount() == 0)
        return false;
    std::string message;
    if (CFormulaList::Evaluate(m_parser, GetText(), values, maximum, message))
        return true;
    if (!message.empty())
        AfxMessageBox(message, MB_OK);
    return false;
}

bool CFormulaEdit::IsChanged() const
{
    return text() != QStringLiteral("***");
}

void CFormulaEdit::SetValue(double value)
{
    setText(platform::Cp932ToQString(CFormulaList::Format(value)));
}

void CFormulaEdit::mouseReleaseEvent(QMouseEvent* event)
{
    QLineEdit::mouseReleaseEvent(event);
    // One click on an unchanged field selects the marker, so that typing replaces it.
    if (!IsChanged())
        selectAll();
}

void CFormulaEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    setAttribute(Qt::WA_InputMethodEnabled, false);
}
