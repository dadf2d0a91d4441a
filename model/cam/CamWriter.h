#pragma once
// The record writer that every item's photo-plot and drill output goes through: coordinate blocks
// with the output transformation, block endings, and the punched-tape character codes.
// Blocks are byte strings: tape codes produce bytes 0x00 and 0x80-0xFF.

#include "model/services/Records.h"

#include <array>
#include <cstddef>
#include <string>

// Punched-tape code tables, indexed by tape code; each entry is the character that the code
// stands for, a space where the code stands for nothing. Code type 1 is EBCDIC, 2 EIA and 3 ISO
// 7-bit with even parity.
using TapeCodeTable = std::array<char, 256>;
extern const TapeCodeTable kTapeCodeEbcdic;
extern const TapeCodeTable kTapeCodeEia;
extern const TapeCodeTable kTapeCodeIso;

// The table of a code type (1, 2 or 3), or null for plain text.
const TapeCodeTable* GetTapeCodeTable(int codeType);

// The integer coordinate value of an output value that is already in integer units: printed with
// one decimal and cut after the integer part (12.96 -> 13, 12.94 -> 12, -0.04 -> 0).
std::int32_t GerbarIntValue(double value);

// Translates freshly read CAM input in place: with a tape code each of the `length` bytes becomes
// the character it stands for; as plain text the bytes are upper-cased up to the first zero byte
// (never past `length`).
void ConvertInputCode(char* block, std::size_t length, const tagGERBAR& g);

// Finishes one output line in place: with the end of block CR each CR is followed by a LF; then
// the tape code is applied, or, as plain text with the line-break option, every '*' is followed by
// CR LF.
void ConvertOutputCode(std::string& line, const tagGERBAR& g);

// Whether ConvertOutputCode leaves every line as it is: plain text (no tape code: types 1 to 3
// have one), no line breaks, blocks not ended by CR.
inline bool OutputCodeIsPlain(const tagGERBAR& g)
{
    return g.endOfBlock != '\r' && (g.codeType < 1 || g.codeType > 3) && !g.lineBreak;
}

// Whether ConvertOutputCode only puts CR LF after every '*': plain text with the line-break
// option, blocks not ended by CR. Each byte is then finished alone, whatever comes next to it.
inline bool OutputCodeOnlyBreaks(const tagGERBAR& g)
{
    return g.endOfBlock != '\r' && (g.codeType < 1 || g.codeType > 3) && g.lineBreak;
}

// Room for one coordinate block: two axes of up to 12 bytes and the end of block.
constexpr std::size_t kGerbarPointBlockSize = 32;

// The coordinate block of FormatGerbarPoint before ConvertOutputCode, into `block`; returns its
// length. The previous point becomes (x, y).
std::size_t FormatGerbarPointBlock(char (&block)[kGerbarPointBlockSize], tagGERBAR& g, double x, double y,
                                   bool transform);

// One photo-plot coordinate block of the board point (x, y). With `transform` the output mirror
// and rotation apply. The previous point becomes (x, y).
std::string& FormatGerbarPoint(std::string& out, tagGERBAR& g, double x, double y, bool transform);

// One circular-interpolation block to the end point (x, y) with the centre (cx, cy) written as
// the arc mode says (mode 3: cx is written alone as I). No mirror or rotation: arcs reach here
// already transformed by their writers.
std::string& FormatGerbarArc(std::string& out, tagGERBAR& g, double x, double y, double cx, double cy);

// One drill-hit block of the board point (x, y): the origin is not removed, mirror and rotation
// always apply, and the ending follows the hit type.
std::string& FormatDrillPoint(std::string& out, tagGERBAR& g, double x, double y);
