#pragma once
// Item dialogs for model tests: each call records the record it was given, lets the test edit it
// through a callback, and answers OK or Cancel. Constructing one installs it.

#include "model/services/ItemDialogs.h"

#include <functional>

class FakeItemDialogs : public ItemDialogs
{
public:
    FakeItemDialogs();
    ~FakeItemDialogs() override;

    bool answer = true; // OK
    int calls = 0;
    std::function<void(HoleDialogData&)> onHole;
    std::function<void(LandDialogData&)> onLand;
    std::function<void(ViaDialogData&)> onVia;
    std::function<void(LineDialogData&)> onLine;
    std::function<void(PartDialogData&)> onPart;
    std::function<void(PartInDialogData&)> onPartIn;
    std::function<void(SurDialogData&)> onSur;
    std::function<void(TextDialogData&)> onText;
    HoleDialogData lastHole;
    LandDialogData lastLand;
    ViaDialogData lastVia;
    LineDialogData lastLine;
    PartDialogData lastPart;
    PartInDialogData lastPartIn;
    SurDialogData lastSur;
    TextDialogData lastText;
    TextDialogData savedText;
    int savedTextCount = 0;

    bool RunHoleDialog(HoleDialogData& data) override;
    bool RunLandDialog(LandDialogData& data) override;
    bool RunViaDialog(ViaDialogData& data) override;
    bool RunLineDialog(LineDialogData& data) override;
    bool RunPartDialog(PartDialogData& data) override;
    bool RunPartInDialog(PartInDialogData& data) override;
    bool RunSurDialog(SurDialogData& data) override;
    bool RunTextDialog(TextDialogData& data) override;
    void SaveTextAttribute(const TextDialogData& data) override;

    std::function<void(NumberInDialogData&)> onNumberIn;
    std::function<void(PointInDialogData&)> onPointIn;
    NumberInDialogData lastNumberIn;
    PointInDialogData lastPointIn;
    bool RunNumberInDialog(NumberInDialogData& data) override;
    bool RunPointInDialog(PointInDialogData& data) override;

private:
    ItemDialogs* m_previous;
};
