#pragma once
// The colour choice of the table dialogs: the standard colour dialog on an initial colour, with
// the 16 custom colours kept in the profile as the 64-byte value "Color"/"Custom" (16 COLORREFs,
// little-endian) that the layer and net dialogs share.

#include "platform/Types.h"

#include <optional>

class QWidget;

// Loads the custom colours from the profile (a value that is not 64 bytes is ignored; a missing
// one is written from the current custom colours), runs the dialog and, on OK, stores the custom
// colours again and gives the chosen colour.
std::optional<COLORREF> ChooseSolidColour(QWidget* parent, COLORREF initial);
