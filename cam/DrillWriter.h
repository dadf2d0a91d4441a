#pragma once
// One NC drill file for the holes of a set of layers, and the drill lists beside it.

#include "model/services/Records.h"

#include <string>

class CArchive;
class CHole;
class CVELTADoc;

// Writes the drill file of the listed layers (0-based, ended by a negative number) into the
// storing archive; dataPath (CP932) is where that file goes, beside which the drill lists are
// written: bit 0 of listMode the circular-hole list named firstList, bit 1 the long-hole list
// named secondList (appended to the first when both are written and the names are equal). The
// tools' hit counts are added to; the board itself is not changed. With platingKnown the holes'
// plating was found since the board last changed, and is taken as it is.
void WriteDrillData(CVELTADoc& doc, CArchive& ar, tagGERBAR& g, const int* layers, int listMode,
                    const std::string& firstList, const std::string& secondList, const std::string& dataPath,
                    bool platingKnown = false);

// The round drill that replaces a long or rectangular hole when long holes are drilled as round
// ones: a rectangle's diagonal cut down to hundredths (a square's side times 1.42), else the width.
double RoundDrillOfShape(double diameter, double width, bool rectangular);
