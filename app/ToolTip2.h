#pragma once
// The item tip: a small window of a few lines next to the cursor, on the tooltip colours, shown
// half a second after it is started and kept beside its anchor until it is hidden.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

class CToolTip2 : public QWidget
{
    Q_OBJECT

public:
    // The width that a "<ファイル" line is shortened to.
    static constexpr int kFileLineWidth = 400;
    static constexpr int kDelayMs = 500;

    CToolTip2();
    ~CToolTip2() override;

    // Makes the window (hidden) for the owner, whose client coordinates anchors are given in.
    bool Create(QWidget* owner);
    // Stores the text without its trailing white space; lines are separated by "\n".
    void SetTipText(const QString& text);
    QString GetTipText() const { return m_text; }
    // 0 when there is no text or a tip is already pending; else starts the delay and returns 1.
    int StartTip(QPoint anchor);
    void HideTip();
    bool IsPending() const { return m_pending; }
    QPoint Anchor() const { return m_anchor; }

    // The lines shown: leading line breaks dropped.
    QStringList Lines() const;
    // Tip size (the border included) and whether a file line is shortened.
    QSize TipSize(bool* capped = nullptr) const;
    // A line shortened to width by an ellipsis in its folders, the file name kept whole.
    static QString ElidePath(const QString& line, const QFontMetrics& metrics, int width);
    // Top-left corner of a tip of the given size for an anchor in screen coordinates.
    static QPoint Place(QPoint anchor, QSize size, const QRect& screens, int cursorHeight,
                        bool severalScreens);
    static int CursorHeight();

    // Places and shows the tip at its anchor now (what the timer does).
    void ShowTip();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    QWidget* m_owner = nullptr;
    bool m_pending = false;
    QPoint m_anchor;
    QTimer m_timer;
};
