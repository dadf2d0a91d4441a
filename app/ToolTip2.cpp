#include "app/ToolTip2.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>

#include <algorithm>
#include <cstdlib>

namespace {

const QString kFileMark = QStringLiteral("<ファイル");

} // namespace

CToolTip2::CToolTip2() : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFont(QApplication::font("QMenu"));
    setPalette(QToolTip::palette());
    m_timer.setInterval(kDelayMs);
    // The tip is shown at the first tick and kept beside its anchor at every one after it.
    connect(&m_timer, &QTimer::timeout, this, &CToolTip2::ShowTip);
}

CToolTip2::~CToolTip2()
{
    m_timer.stop();
}

bool CToolTip2::Create(QWidget* owner)
{
    m_owner = owner;
    hide();
    return true;
}

void CToolTip2::SetTipText(const QString& text)
{
    QString trimmed = text;
    while (!trimmed.isEmpty() && trimmed.back().isSpace())
        trimmed.chop(1);
    if (trimmed != m_text) {
        m_text = trimmed;
        if (isVisible())
            update();
    }
}

int CToolTip2::StartTip(QPoint anchor)
{
    if (m_text.isEmpty() || m_pending)
        return 0;
    m_anchor = anchor;
    m_pending = true;
    m_timer.start();
    return 1;
}

void CToolTip2::HideTip()
{
    if (!m_pending)
        return;
    m_timer.stop();
    hide();
    m_pending = false;
}

QStringList CToolTip2::Lines() const
{
    qsizetype start = 0;
    while (start < m_text.size() && m_text[start] == QLatin1Char('\n'))
        ++start;
    QStringList lines = m_text.mid(start).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

QSize CToolTip2::TipSize(bool* capped) const
{
    const QFontMetrics metrics(font());
    const QStringList lines = Lines();
    int width = 0;
    bool cap = false;
    for (const QString& line : lines) {
        const int w = metrics.horizontalAdvance(line);
        if (w > width) {
            width = w;
            cap = line.contains(kFileMark) && width > kFileLineWidth;
            if (cap)
                width = kFileLineWidth;
        }
    }
    if (capped)
        *capped = cap;
    return QSize(width + 7, static_cast<int>(lines.size()) * metrics.height() + 2);
}

QString CToolTip2::ElidePath(const QString& line, const QFontMetrics& metrics, int width)
{
    if (metrics.horizontalAdvance(line) <= width)
        return line;
    const qsizetype sep = std::max(line.lastIndexOf(QLatin1Char('/')), line.lastIndexOf(QLatin1Char('\\')));
    if (sep < 0)
        return metrics.elidedText(line, Qt::ElideRight, width);
    const QString folders = line.left(sep);
    const QString name = line.mid(sep); // with its separator
    const QString dots = QStringLiteral("...");
    for (qsizetype keep = folders.size() - 1; keep > 0; --keep) {
        const QString candidate = folders.left(keep) + dots + name;
        if (metrics.horizontalAdvance(candidate) <= width)
            return candidate;
    }
    return dots + name;
}

QPoint CToolTip2::Place(QPoint anchor, QSize size, const QRect& screens, int cursorHeight,
                        bool severalScreens)
{
    int left = anchor.x();
    int top = anchor.y() + cursorHeight;
    const int screenRight = screens.x() + screens.width();
    const int screenBottom = screens.y() + screens.height();
    if (severalScreens && left < screens.x())
        left = screens.x();
    else if (left + size.width() > screenRight)
        left -= left + size.width() - screenRight;
    if (severalScreens && top < screens.y())
        top = screens.y();
    else if (cursorHeight + top + size.height() > screenBottom)
        top = anchor.y() - size.height() - cursorHeight / 2; // above the cursor
    if (severalScreens)
        top = std::max(top, screens.y());
    return QPoint(left + 1, top + 1);
}

int CToolTip2::CursorHeight()
{
    if (const char* size = std::getenv("XCURSOR_SIZE")) {
        const int n = std::atoi(size);
        if (n > 0)
            return n;
    }
    return 32;
}

void CToolTip2::ShowTip()
{
    if (!m_pending)
        return;
    const QSize size = TipSize();
    const QPoint global = m_owner ? m_owner->mapToGlobal(m_anchor) : m_anchor;
    const QList<QScreen*> screens = QGuiApplication::screens();
    QRect area;
    for (QScreen* screen : screens)
        area = area.united(screen->geometry());
    const QPoint corner = Place(global, size, area, CursorHeight(), screens.size() > 1);
    setGeometry(QRect(corner, size));
    if (!isVisible())
        show();
    raise();
    update();
}

void CToolTip2::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    bool capped = false;
    const QSize size = TipSize(&capped);
    painter.setBrush(palette().color(QPalette::ToolTipBase));
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, size.width() - 1, size.height() - 1);
    painter.setPen(palette().color(QPalette::ToolTipText));
    const QFontMetrics metrics(font());
    const QStringList lines = Lines();
    for (int i = 0; i < lines.size(); ++i) {
        const int y = 1 + i * metrics.height();
        const QString text = capped ? ElidePath(lines[i], metrics, size.width() - 3) : lines[i];
        painter.drawText(QRect(3, y, size.width() - 3, metrics.height()), Qt::AlignLeft | Qt::AlignTop, text);
    }
}
