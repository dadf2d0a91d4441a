#pragma once
// An edit field that shows a text too long for it shortened with an ellipsis: in the middle of a
// path (keeping the last component) or at the end. It trims blanks from its text when it loses the
// focus.

#include <QLineEdit>

class CEllipsisEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit CEllipsisEdit(bool pathEllipsis = true, QWidget* parent = nullptr);

    bool IsPathEllipsis() const { return m_bPathEllipsis; }
    // The text as shown in the given width.
    static QString Elide(const QString& text, const QFontMetrics& fm, int width, bool path);

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool m_bPathEllipsis;
};
