#include "tests/support/FakeItemDialogs.h"

namespace {
// Records what the model handed over, lets the test play the user, and answers.
template <typename T>
bool Run(T& data, T& last, const std::function<void(T&)>& edit, int& calls, bool answer)
{
    ++calls;
    last = data;
    if (edit)
        edit(data);
    return answer;
}
} // namespace

FakeItemDialogs::FakeItemDialogs() : m_previous(GetItemDialogs())
{
    SetItemDialogs(this);
}

FakeItemDialogs::~FakeItemDialogs()
{
    SetItemDialogs(m_previous);
}

bool FakeItemDialogs::RunHoleDialog(HoleDialogData& d) { return Run(d, lastHole, onHole, calls, answer); }
bool FakeItemDialogs::RunLandDialog(LandDialogData& d) { return Run(d, lastLand, onLand, calls, answer); }
bool FakeItemDialogs::RunViaDialog(ViaDialogData& d) { return Run(d, lastVia, onVia, calls, answer); }
bool FakeItemDialogs::RunLineDialog(LineDialogData& d) { return Run(d, lastLine, onLine, calls, answer); }
bool FakeItemDialogs::RunPartDialog(PartDialogData& d) { return Run(d, lastPart, onPart, calls, answer); }
bool FakeItemDialogs::RunPartInDialog(PartInDialogData& d) { return Run(d, lastPartIn, onPartIn, calls, answer); }
bool FakeItemDialogs::RunSurDialog(SurDialogData& d) { return Run(d, lastSur, onSur, calls, answer); }
bool FakeItemDialogs::RunTextDialog(TextDialogData& d) { return Run(d, lastText, onText, calls, answer); }

void FakeItemDialogs::SaveTextAttribute(const TextDialogData& data)
{
    savedText = data;
    ++savedTextCount;
}

bool FakeItemDialogs::RunNumberInDialog(NumberInDialogData& d) { return Run(d, lastNumberIn, onNumberIn, calls, answer); }
bool FakeItemDialogs::RunPointInDialog(PointInDialogData& d) { return Run(d, lastPointIn, onPointIn, calls, answer); }
