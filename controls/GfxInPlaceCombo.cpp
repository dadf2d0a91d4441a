#include "controls/GfxInPlaceCombo.h"

#include "controls/GfxComboEdit.h"
#include "controls/GfxComboStatic.h"
#include "controls/GfxListCtrl.h"
#include "platform/qt/QtText.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QTimer>

CGfxComboList::CGfxComboList(CGfxInPlaceCombo* combo, QWidget* parent) : QListWidget(parent), m_pCombo(combo)
{
    setFrameShape(QFrame::Box);
    setLineWidth(1);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setUniformItemSizes(true);
}

void CGfxComboList::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_pCombo->PickFromList();
        return;
    case Qt::Key_Escape:
        m_pCombo->CloseList(true);
        return;
    default:
        QListWidget::keyPressEvent(event);
    }
}

void CGfxComboList::mouseReleaseEvent(QMouseEvent* event)
{
    QListWidget::mouseReleaseEvent(event);
    m_pCombo->PickFromList();
}

void CGfxComboList::focusOutEvent(QFocusEvent* event)
{
    QListWidget::focusOutEvent(event);
    QTimer::singleShot(0, m_pCombo, &CGfxInPlaceCombo::CheckFocus);
}

CGfxInPlaceCombo::CGfxInPlaceCombo(CGfxListCtrl* grid, int item, int column, const QString& text,
                                   const QStringList& choices, bool editable, bool flat)
    : QWidget(grid->viewport()), m_pGrid(grid), m_nItem(item), m_nColumn(column), m_strInitial(text),
      m_choices(choices), m_bEditable(editable), m_bFlat(flat)
{
    setObjectName(QStringLiteral("103"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    if (editable) {
        m_pEdit = new CGfxComboEdit(this, text);
        m_pEdit->setObjectName(QStringLiteral("104"));
        m_pEdit->selectAll();
        setFocusProxy(m_pEdit);
    } else {
        m_pStatic = new CGfxComboStatic(this);
        m_pStatic->setObjectName(QStringLiteral("104"));
        m_pStatic->SetText(text);
    }
    m_nCurrent = FindChoiceExact(text);
}

QString CGfxInPlaceCombo::Text() const
{
    return m_pEdit ? m_pEdit->text() : m_pStatic->Text();
}

void CGfxInPlaceCombo::SetTextColor(const QColor& colour)
{
    if (m_pEdit) {
        QPalette pal = m_pEdit->palette();
        pal.setColor(QPalette::Text, colour);
        m_pEdit->setPalette(pal);
    } else {
        m_pStatic->SetTextColor(colour);
    }
}

void CGfxInPlaceCombo::CommitEdit()
{
    if (m_bCommitted || m_bCancelled)
        return;
    m_bCommitted = true;
    const QString text = Text();
    if (text == m_strInitial)
        return;
    if (const auto bytes = platform::QStringToCp932(text))
        m_pGrid->OnEndLabelEdit(m_nItem, m_nColumn, &*bytes);
}

void CGfxInPlaceCombo::EndEdit(bool commit)
{
    if (commit)
        CommitEdit();
    else
        m_bCancelled = true;
    CloseList(false);
    Close();
}

void CGfxInPlaceCombo::Close()
{
    if (m_bDone)
        return;
    m_bDone = true;
    if (m_pList)
        m_pList->deleteLater();
    hide();
    deleteLater();
}

void CGfxInPlaceCombo::Navigate(int code)
{
    CommitEdit();
    Close();
    m_pGrid->setFocus();
    m_pGrid->OnEditNavigate(code, m_nItem, m_nColumn);
}

void CGfxInPlaceCombo::SelectChoice(int n)
{
    if (n < 0 || n >= m_choices.size())
        return;
    m_nCurrent = n;
    SetChoiceText(n, m_choices.at(n));
}

void CGfxInPlaceCombo::SetChoiceText(int index, const QString& text)
{
    if (m_pEdit) {
        m_pEdit->setText(text);
        m_pEdit->selectAll();
    } else {
        m_pStatic->SetText(text);
    }
    if (index >= 0)
        m_nCurrent = index;
}

int CGfxInPlaceCombo::FindChoiceExact(const QString& text) const
{
    for (int i = 0; i < m_choices.size(); ++i)
        if (!m_choices.at(i).isEmpty() && m_choices.at(i) == text)
            return i;
    return -1;
}

int CGfxInPlaceCombo::FindChoicePrefix(int from, const QString& text) const
{
    for (int i = std::max(from, 0); i < m_choices.size(); ++i)
        if (m_choices.at(i).size() >= text.size() && m_choices.at(i).startsWith(text, Qt::CaseInsensitive))
            return i;
    return -1;
}

QString CGfxInPlaceCombo::FindChoiceByInitial(QChar ch)
{
    const int n = static_cast<int>(m_choices.size());
    const int start = std::clamp(m_nCurrent, 0, std::max(n - 1, 0));
    for (int k = 0; k < n; ++k) {
        const int i = (start + k) % n;
        const QString& c = m_choices.at(i);
        if (!c.isEmpty() && c.at(0) == ch) {
            m_nCurrent = i;
            return c;
        }
    }
    return {};
}

QRect CGfxInPlaceCombo::ButtonRect() const
{
    const int w = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return QRect(width() - w, 0, w, height());
}

void CGfxInPlaceCombo::resizeEvent(QResizeEvent*)
{
    const QRect text(0, 0, width() - ButtonRect().width(), height());
    if (m_pEdit)
        m_pEdit->setGeometry(text);
    else
        m_pStatic->setGeometry(text);
}

void CGfxInPlaceCombo::DropDown()
{
    if (m_choices.isEmpty() || m_pList)
        return;
    QWidget* vp = m_pGrid->viewport();
    const int line = QFontMetrics(m_pGrid->font()).height();
    const int proposed = std::clamp(line * static_cast<int>(m_choices.size() + 1), 38, 100);
    QRect r(x() - 4, y() + height(), width() + 4, proposed);
    if (r.bottom() >= vp->height())
        r.translate(0, -proposed);
    m_pList = new CGfxComboList(this, vp);
    m_pList->setObjectName(QStringLiteral("105"));
    m_pList->setFont(m_pGrid->font());
    m_pList->addItems(m_choices);
    const int itemH = std::max(m_pList->sizeHintForRow(0), 1);
    const int frame = 2 * m_pList->frameWidth();
    r.setHeight(std::min(itemH * static_cast<int>(m_choices.size()) + frame, 100));
    m_pList->setGeometry(r);
    m_pList->setCurrentRow(std::max(FindChoiceExact(Text()), -1));
    m_pList->show();
    m_pList->raise();
    m_pList->setFocus();
    update();
}

void CGfxInPlaceCombo::CloseList(bool focusBack)
{
    if (!m_pList)
        return;
    CGfxComboList* list = m_pList;
    m_pList = nullptr;
    if (focusBack)
        setFocus();
    list->hide();
    list->deleteLater();
    update();
}

void CGfxInPlaceCombo::PickFromList()
{
    if (!m_pList)
        return;
    const int row = m_pList->currentRow();
    const QString text = row >= 0 ? m_pList->item(row)->text() : QString();
    CloseList(true);
    if (row >= 0)
        SetChoiceText(row, text);
}

void CGfxInPlaceCombo::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (ButtonRect().contains(event->position().toPoint()) && !m_choices.isEmpty()) {
        if (m_pList)
            CloseList(true);
        else
            DropDown();
    } else if (m_pList) {
        CloseList(true);
    }
    update();
}

bool CGfxInPlaceCombo::event(QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && HandleKey(key))
            return true;
    }
    return QWidget::event(event);
}

bool CGfxInPlaceCombo::HandleKey(QKeyEvent* event)
{
    const int key = event->key();
    switch (key) {
    case Qt::Key_Up:
        SelectChoice(m_nCurrent - 1);
        return true;
    case Qt::Key_Down:
        SelectChoice(m_nCurrent + 1);
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (m_bEditable)
            return false;
        Navigate(key == Qt::Key_Left ? GFXNAV_LEFT : GFXNAV_RIGHT);
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        Navigate(key == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier) ? GFXNAV_PREV
                                                                                    : GFXNAV_NEXT);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        CommitEdit();
        m_pGrid->setFocus();
        Close();
        return true;
    case Qt::Key_Escape:
        m_bCancelled = true;
        m_pGrid->setFocus();
        Close();
        return true;
    default:
        break;
    }
    if (!m_bEditable && event->text().size() == 1) {
        const QChar ch = event->text().at(0);
        if ((ch >= QLatin1Char('a') && ch <= QLatin1Char('z')) ||
            (ch >= QLatin1Char('A') && ch <= QLatin1Char('Z')) ||
            (ch >= QLatin1Char('0') && ch <= QLatin1Char('9'))) {
            const QString text = FindChoiceByInitial(ch);
            if (!text.isEmpty())
                SetChoiceText(m_nCurrent, text);
            return true;
        }
    }
    return false;
}

void CGfxInPlaceCombo::keyPressEvent(QKeyEvent* event)
{
    if (!HandleKey(event))
        QWidget::keyPressEvent(event);
}

void CGfxInPlaceCombo::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    QTimer::singleShot(0, this, &CGfxInPlaceCombo::CheckFocus);
}

void CGfxInPlaceCombo::CheckFocus()
{
    if (m_bDone)
        return;
    QWidget* focus = QApplication::focusWidget();
    if (focus && (focus == this || isAncestorOf(focus) ||
                  (m_pList && (focus == m_pList || m_pList->isAncestorOf(focus)))))
        return;
    // A menu of the text part is open; the edit goes on.
    if (QApplication::activePopupWidget())
        return;
    CloseList(false);
    CommitEdit();
    Close();
}

void CGfxInPlaceCombo::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect b = ButtonRect();
    const QPalette& pal = palette();
    p.fillRect(b, pal.color(QPalette::Button));
    // Arrow of the drop button.
    const QPoint c = b.center() + (m_pList ? QPoint(1, 1) : QPoint());
    p.setPen(Qt::NoPen);
    p.setBrush(pal.color(QPalette::ButtonText));
    p.drawPolygon(QPolygon({c + QPoint(-3, -1), c + QPoint(4, -1), c + QPoint(0, 3)}));
    auto edge = [&](QRect r, const QColor& topLeft, const QColor& bottomRight) {
        p.setPen(topLeft);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(bottomRight);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    };
    if (m_pList) {
        edge(b, pal.color(QPalette::Dark), pal.color(QPalette::Light));
        if (!m_bFlat)
            edge(b.adjusted(1, 1, -1, -1), Qt::black, pal.color(QPalette::Button));
    } else if (m_bFlat) {
        edge(b, pal.color(QPalette::Light), pal.color(QPalette::Dark));
    } else {
        edge(b, pal.color(QPalette::Button), Qt::black);
        edge(b.adjusted(1, 1, -1, -1), pal.color(QPalette::Light), pal.color(QPalette::Dark));
    }
}
