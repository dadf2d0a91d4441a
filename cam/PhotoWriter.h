#pragma once
// One photo-plot (Gerber) file: the header, the format, unit and aperture statements of the
// extended format, the start blocks, the bodies of the listed layers and the end blocks.

#include "model/services/Records.h"

#include <string>

class CArchive;
class CVELTADoc;

// Writes the file into the storing archive. The aperture table must hold the counts of exactly
// these layers (0-based, ended by a negative number); decimals 0..5 is the number of decimals of
// the extended format's coordinates. The settings record carries the writer state through the
// bodies and keeps the extents of what was written.
void WritePhotoData(CVELTADoc& doc, CArchive& ar, tagGERBAR& g, const int* layers, int decimals);

// The record's EOB put in for every "{EOB}" of a header or end text.
std::string ReplaceEobMarks(const std::string& text, char eob);
// Starts a body: previous point at the origin and the extents empty.
void ResetOutputExtents(tagGERBAR& g);
// The header and start blocks that the photo file and the D03 drill file share: the header text
// (or the coordinate and unit codes), the move code, and the linear code with "X0Y0".
void WriteStartBlocks(CArchive& ar, tagGERBAR& g, bool extendedStatements, const std::string& statements);
// A block converted for output and written.
void WriteConverted(CArchive& ar, const tagGERBAR& g, std::string block);
