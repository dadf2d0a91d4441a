#pragma once
// The size grip in the lower right corner of a resizable dialog.

#include <QSizeGrip>

class CGripper : public QSizeGrip
{
    Q_OBJECT
public:
    explicit CGripper(QWidget* parent);

    // Shows the grip in the parent's lower right corner; false without a parent.
    bool Create(QWidget* parent);
    // Puts the grip back into the parent's lower right corner.
    void CalcParentSize();

private:
    QWidget* m_parent = nullptr;
};
