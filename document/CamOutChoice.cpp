#include "document/CamOutChoice.h"

void MakeCamRecords(CamOutChoice& choice)
{
    // Filled in by the output dialog's conversion.
    (void)choice;
}
