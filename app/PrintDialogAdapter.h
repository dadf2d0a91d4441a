#pragma once
// The board view's print dialog: the program's CDlgPrint on the board's print settings.

#include "app/ViewPrintDialog.h"

class CDlgPrint;
class QWidget;

class CPrintDialogAdapter : public ViewPrintDialog
{
public:
    explicit CPrintDialogAdapter(QWidget* parent) : m_pParent(parent) {}

    bool Run(tagPRINTSET& settings, bool preview, ViewPrintChoice& choice) override;

    // The dialog filled from the print settings, and the settings and choice taken from it.
    static void Fill(CDlgPrint& dialog, const tagPRINTSET& settings, bool preview);
    static void Take(CDlgPrint& dialog, tagPRINTSET& settings, ViewPrintChoice& choice);

private:
    QWidget* m_pParent; // observed
};
