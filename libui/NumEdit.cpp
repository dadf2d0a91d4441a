#include "libui/NumEdit.h"

#include "platform/Messages.h"
#include "platform/qt/QtText.h"

#include <QKeyEvent>
#include <QTimer>

CNumEdit::CNumEdit(QWidget* parent) : QLineEdit(parent)
{
    setAttribute(Qt::WA_InputMethodEnabled, false);
    // Every change the user makes (typing, deleting, pasting, dropping, undo) is checked.
    connect(this, &QLineEdit::textEdited, this, &CNumEdit::OnEdited);
}

void CNumEdit::GetRange(double& minimum, double& maximum) const
{
    minimum = m_rule.minimum;
    maximum = m_rule.maximum;
}

void CNumEdit::SetRange(double minimum, double maximum)
{
    m_rule.minimum = minimum;
    m_rule.maximum = maximum;
}

int CNumEdit::ShowCheck(int check)
{
    if (m_showErrors && (check == CNumberRule::OutOfRange || check == CNumberRule::NotANumber))
        AfxMessageBox(CNumberRule::CheckMessage(static_cast<CNumberRule::Check>(check)), MB_OK | MB_ICONSTOP);
    return check;
}

int CNumEdit::CheckText(const std::string& text)
{
    return ShowCheck(m_rule.CheckText(text));
}

int CNumEdit::CheckWindowText()
{
    const auto text = platform::QStringToCp932(this->text());
    return ShowCheck(text ? m_rule.CheckText(*text, true) : CNumberRule::NotANumber);
}

bool CNumEdit::SetValue(double value)
{
    if (!m_rule.InRange(value))
        return false;
    const QString text = QString::fromLatin1(m_rule.FormatValue(value).c_str());
    m_accepted = text;
    setText(text);
    return true;
}

double CNumEdit::GetValue(bool* valid) const
{
    double value = 0.0;
    const auto text = platform::QStringToCp932(this->text());
    const bool ok =
        text && m_rule.CheckText(*text, true) == CNumberRule::Valid && m_rule.ParseValue(*text, value);
    if (valid)
        *valid = ok;
    return ok ? value : m_rule.minimum;
}

bool CNumEdit::IsChanged() const
{
    return text() != QStringLiteral("***");
}

std::string CNumEdit::GetFormat(double value)
{
    return m_rule.GetFormat(value);
}

void CNumEdit::Step(int count, bool wrap)
{
    SetValue(m_rule.StepValue(GetValue(), count, wrap));
}

void CNumEdit::keyPressEvent(QKeyEvent* event)
{
    if (m_dropKeys || event->text() == QStringLiteral(" ")) {
        event->accept();
        return;
    }
    m_accepted = text();
    m_typedStar = event->text() == QStringLiteral("*");
    QLineEdit::keyPressEvent(event);
    m_typedStar = false;
}

// Each way of changing the text starts here, so the text before the change is kept for undoing it.
void CNumEdit::dropEvent(QDropEvent* event)
{
    m_accepted = text();
    QLineEdit::dropEvent(event);
}

void CNumEdit::contextMenuEvent(QContextMenuEvent* event)
{
    m_accepted = text();
    QLineEdit::contextMenuEvent(event);
}

void CNumEdit::mousePressEvent(QMouseEvent* event)
{
    m_accepted = text();
    QLineEdit::mousePressEvent(event);
}

void CNumEdit::OnEdited(const QString& text)
{
    if (m_typedStar) {
        m_accepted = text;
        return;
    }
    const int check = CheckWindowText();
    if (check == CNumberRule::Valid || check == CNumberRule::Partial) {
        if (check == CNumberRule::Valid)
            m_rule.GetFormat(GetValue());
        m_accepted = text;
        return;
    }
    setText(m_accepted);
    selectAll();
    // Keys typed ahead of the refusal go too.
    m_dropKeys = true;
    QTimer::singleShot(0, this, [this] { m_dropKeys = false; });
}
