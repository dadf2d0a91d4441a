#pragma once
// The four work-area fields that the new design and work area dialogs share: width and height of
// the board (100 to 500 mm, step 20) and its user origin (0 to 250 mm, step 10), each a numeric
// field with its up-down, and the check both dialogs make at OK.

class CNumEdit;
class CNumSpinCtrl;

struct WorkAreaSpins
{
    CNumSpinCtrl* width = nullptr;
    CNumSpinCtrl* height = nullptr;
    CNumSpinCtrl* originX = nullptr;
    CNumSpinCtrl* originY = nullptr;
};

// The up-downs' ranges and steps.
void SetupWorkAreaSpins(const WorkAreaSpins& spins);

// Shows the value; one the range does not hold (a hand-edited settings file) is shown as it is and
// refused at OK.
void ShowWorkAreaNumber(CNumEdit* edit, double value);
// The field's value; text that is no number gives NaN, which the check refuses.
double ReadWorkAreaNumber(const CNumEdit* edit);

// Width and height 100 to 500 mm ("作業領域は１００～５００ｍｍです"), then the origin within 0 to
// half of them ("原点は０～作業領域の半分です"); the message is shown and false given otherwise.
bool CheckWorkArea(double width, double height, double originX, double originY);
