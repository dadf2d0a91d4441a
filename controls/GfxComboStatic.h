#pragma once
// The text part of a drop-down cell editor whose text comes only from its choices.

#include <QWidget>

class CGfxComboStatic : public QWidget
{
    Q_OBJECT

public:
    explicit CGfxComboStatic(QWidget* parent);
    void SetText(const QString& text);
    QString Text() const { return m_strText; }
    void SetTextColor(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_strText;
    QColor m_crText;
};
