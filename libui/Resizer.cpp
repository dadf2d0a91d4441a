#include "libui/Resizer.h"

#include "libui/DialogBuilder.h"
#include "libui/SpinButton.h"

#include <QGroupBox>
#include <QLabel>
#include <QLayout>

namespace {

CRect ToRect(const QRect& r)
{
    return CRect(r.x(), r.y(), r.x() + r.width(), r.y() + r.height());
}

QRect ToQRect(const CRect& r)
{
    return QRect(r.left, r.top, r.Width(), r.Height());
}

bool IsLabel(QWidget* w)
{
    if (qobject_cast<QGroupBox*>(w))
        return true;
    auto* label = qobject_cast<QLabel*>(w);
    return label && ControlId(label) == 0 && label->text().contains(QLatin1Char('&'));
}

} // namespace

bool CResizer::Init(QWidget* dialog, const QRect* reference, const CBorderInfo* rows, int count,
                    bool hideOverlapped)
{
    m_dialog = dialog;
    m_hideOverlapped = hideOverlapped;
    if (QLayout* layout = dialog->layout())
        layout->setEnabled(false);
    const QRect initial = reference ? *reference : dialog->rect();
    m_previous = dialog->rect();
    m_minSize = dialog->size();

    std::vector<ResizeRow> table(rows, rows + std::max(count, 0));
    std::vector<CRect> rects;
    m_ruled.assign(table.size(), Ruled());
    for (std::size_t i = 0; i < table.size(); ++i) {
        m_ruled[i].control = FindControl(dialog, table[i].id);
        rects.push_back(m_ruled[i].control ? ToRect(m_ruled[i].control->geometry()) : CRect());
    }
    m_layout.Init(ToRect(initial), table, rects);

    // A label stands before its control in child order.
    QWidget* pending = nullptr;
    for (QObject* child : dialog->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w || w->isWindow())
            continue;
        if (IsLabel(w)) {
            pending = w;
            continue;
        }
        const int at = ControlId(w) ? m_layout.Find(ControlId(w)) : -1;
        if (at >= 0 && pending) {
            Ruled& ruled = m_ruled[static_cast<std::size_t>(at)];
            ruled.label = pending;
            ruled.labelOffset = w->geometry().topLeft() - pending->geometry().topLeft();
            pending = nullptr;
        }
    }
    return true;
}

void CResizer::Move()
{
    if (!m_dialog)
        return;
    std::vector<CRect> current;
    std::vector<bool> visible;
    for (const Ruled& ruled : m_ruled) {
        current.push_back(ruled.control ? ToRect(ruled.control->geometry()) : CRect());
        visible.push_back(ruled.control && ruled.control->isVisibleTo(m_dialog));
    }
    const QRect client = m_dialog->rect();
    const auto results = m_layout.Compute(ToRect(client), current, visible, m_hideOverlapped);
    for (std::size_t i = 0; i < results.size(); ++i) {
        if (m_ruled[i].control && visible[i])
            m_ruled[i].control->setGeometry(ToQRect(results[i].rect));
    }

    for (QObject* child : m_dialog->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w || w->isWindow() || qobject_cast<CSpinButton*>(w))
            continue;
        bool handled = false;
        for (std::size_t i = 0; i < m_ruled.size() && !handled; ++i) {
            if (m_ruled[i].control == w) {
                handled = true;
            } else if (m_ruled[i].label == w) {
                handled = true;
                w->setVisible(!results[i].hidden);
                if (!results[i].hidden)
                    w->move(QPoint(results[i].rect.left, results[i].rect.top) - m_ruled[i].labelOffset);
            }
        }
        if (!handled && w->isVisibleTo(m_dialog))
            w->setGeometry(ToQRect(
                CResizeLayout::FollowTopRight(ToRect(w->geometry()), ToRect(m_previous), ToRect(client))));
    }

    // Up-down controls outside the table stay against their buddies.
    for (QObject* child : m_dialog->children()) {
        auto* spin = qobject_cast<CSpinButton*>(child);
        if (!spin || !spin->isVisibleTo(m_dialog) || !spin->GetBuddyWidget())
            continue;
        if (ControlId(spin) && m_layout.Find(ControlId(spin)) >= 0)
            continue;
        const QRect buddy = spin->GetBuddyWidget()->geometry();
        constexpr int Border = 1;
        if (spin->GetAlignment() == CSpinButton::AlignRight)
            spin->move(buddy.x() + buddy.width() - Border, buddy.y());
        else if (spin->GetAlignment() == CSpinButton::AlignLeft)
            spin->move(buddy.x() + Border - spin->width(), buddy.y());
    }
    m_previous = client;
}

void CResizer::ResetSize()
{
    if (m_dialog)
        m_dialog->resize(m_minSize);
}
