#include "libui/SpinButton.h"

#include <QLineEdit>
#include <QResizeEvent>
#include <QToolButton>
#include <QWheelEvent>
#include <algorithm>

CSpinButton::CSpinButton(QWidget* parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this))
{
    for (QToolButton* button : {m_up, m_down}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setIconSize(QSize(8, 6));
    }
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    connect(m_up, &QToolButton::clicked, this, [this] { Click(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { Click(-1); });
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

QSize CSpinButton::sizeHint() const
{
    return QSize(16, 22);
}

void CSpinButton::resizeEvent(QResizeEvent* event)
{
    const int w = event->size().width();
    const int h = event->size().height();
    m_up->setGeometry(0, 0, w, h / 2);
    m_down->setGeometry(0, h / 2, w, h - h / 2);
}

void CSpinButton::SetRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
}

void CSpinButton::GetRange(int& minimum, int& maximum) const
{
    minimum = m_minimum;
    maximum = m_maximum;
}

void CSpinButton::SetPosition(int position)
{
    m_position = std::clamp(position, std::min(m_minimum, m_maximum), std::max(m_minimum, m_maximum));
    if (m_showInBuddy) {
        if (auto* edit = qobject_cast<QLineEdit*>(m_buddy))
            edit->setText(QString::number(m_position));
    }
}

int CSpinButton::GetPosition() const
{
    if (m_showInBuddy) {
        if (auto* edit = qobject_cast<QLineEdit*>(m_buddy)) {
            bool ok = false;
            const int value = edit->text().trimmed().toInt(&ok);
            if (ok)
                return std::clamp(value, std::min(m_minimum, m_maximum), std::max(m_minimum, m_maximum));
        }
    }
    return m_position;
}

void CSpinButton::SetBuddyWidget(QWidget* buddy)
{
    m_buddy = buddy;
}

bool CSpinButton::OnDeltapos(int&, int)
{
    return false;
}

void CSpinButton::Click(int delta)
{
    int position = GetPosition();
    if (OnDeltapos(position, delta))
        return;
    int next = position + delta;
    if (next > m_maximum)
        next = m_wrap ? m_minimum : m_maximum;
    else if (next < m_minimum)
        next = m_wrap ? m_maximum : m_minimum;
    SetPosition(next);
    emit positionChanged(m_position);
}

void CSpinButton::wheelEvent(QWheelEvent* event)
{
    const int dy = event->angleDelta().y();
    if (dy != 0)
        Click(dy > 0 ? 1 : -1);
    event->accept();
}
