#include "libui/QtItemDialogs.h"

#include "libui/DlgHole.h"
#include "libui/DlgLand.h"
#include "libui/DlgLine.h"
#include "libui/DlgNumberIn.h"
#include "libui/DlgPart.h"
#include "libui/DlgPartIn.h"
#include "libui/DlgPointIn.h"
#include "libui/DlgSur.h"
#include "libui/DlgText.h"
#include "libui/DlgVia.h"

#include <QApplication>

QWidget* QtItemDialogs::DialogParent()
{
    // A dialog run from another modal dialog (the text dialog behind a part's "F" button) opens
    // over that one.
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

bool QtItemDialogs::RunHoleDialog(HoleDialogData& data)
{
    return CDlgHole::Run(data, DialogParent());
}

bool QtItemDialogs::RunLandDialog(LandDialogData& data)
{
    return CDlgLand::Run(data, DialogParent());
}

bool QtItemDialogs::RunViaDialog(ViaDialogData& data)
{
    return CDlgVia::Run(data, DialogParent());
}

bool QtItemDialogs::RunLineDialog(LineDialogData& data)
{
    return CDlgLine::Run(data, DialogParent());
}

bool QtItemDialogs::RunPartDialog(PartDialogData& data)
{
    return CDlgPart::Run(data, DialogParent());
}

bool QtItemDialogs::RunPartInDialog(PartInDialogData& data)
{
    return CDlgPartIn::Run(data, DialogParent());
}

bool QtItemDialogs::RunSurDialog(SurDialogData& data)
{
    return CDlgSur::Run(data, DialogParent());
}

bool QtItemDialogs::RunTextDialog(TextDialogData& data)
{
    return CDlgText::Run(data, DialogParent());
}

void QtItemDialogs::SaveTextAttribute(const TextDialogData& data)
{
    CDlgText::SaveAttribute(data);
}

bool QtItemDialogs::RunNumberInDialog(NumberInDialogData& data)
{
    return CDlgNumberIn::Run(data, DialogParent());
}

bool QtItemDialogs::RunPointInDialog(PointInDialogData& data)
{
    return CDlgPointIn::Run(data, DialogParent());
}
