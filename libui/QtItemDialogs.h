#pragma once
// The item dialogs of the model, shown with Qt. Each Run builds its dialog over the active
// window, fills it from the record, runs it modally and writes the record back only on OK.
// The program installs one at start-up with SetItemDialogs(&dialogs) and removes it before exit.

#include "model/services/ItemDialogs.h"

class QWidget;

class QtItemDialogs : public ItemDialogs
{
public:
    bool RunHoleDialog(HoleDialogData& data) override;
    bool RunLandDialog(LandDialogData& data) override;
    bool RunViaDialog(ViaDialogData& data) override;
    bool RunLineDialog(LineDialogData& data) override;
    // The part dialog is not built yet: it answers Cancel and changes nothing.
    bool RunPartDialog(PartDialogData& data) override;
    bool RunPartInDialog(PartInDialogData& data) override;
    bool RunSurDialog(SurDialogData& data) override;
    bool RunTextDialog(TextDialogData& data) override;
    void SaveTextAttribute(const TextDialogData& data) override;
    bool RunNumberInDialog(NumberInDialogData& data) override;
    bool RunPointInDialog(PointInDialogData& data) override;

    // The window the dialogs are shown over: the active window, or none.
    static QWidget* DialogParent();
};
