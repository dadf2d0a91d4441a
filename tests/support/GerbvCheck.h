#pragma once
// gerbv as the judge of written CAM files. Files gerbv reads as they stand (RS-274-X, and drill
// files with a header) go to it unchanged; the forms it cannot read are wrapped here only, never
// in the program: the tape code decoded, the '*' restored after LF or CR block ends, the %FS, %MO
// and %AD statements made from the aperture list put before a plain photo file, an M48 header made
// from the tool list put before a drill file, and a D03 drill file read as Gerber flashes of round
// apertures from the tool list.

#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

// How the file was written: what the wrappers need to know.
struct CamFileFormat
{
    int codeType = 0;      // 0 plain, 1 EBCDIC, 2 EIA, 3 ISO
    char endOfBlock = '*'; // '*', '\n' or '\r'
    bool absolute = true;
    bool metric = true;
    int decimals = 3;
};

// A point gerbv read back, in millimetres.
struct GerbvPoint
{
    double x = 0.0;
    double y = 0.0;
};

// Whether gerbv can be run (tools/setup installs it).
bool HaveGerbv();

// Runs gerbv exporting `file` to `format` ("png", "rs274x" or "drill") at `output`; the text it
// printed. The exit status goes to `status`.
std::string RunGerbv(const std::filesystem::path& file, const std::string& format,
                     const std::filesystem::path& output, int& status);

// The lines of gerbv's output that speak of a problem (CRITICAL, WARNING or an error); empty when
// the file loaded cleanly.
std::string GerbvProblems(const std::string& log);

// The bytes as plain text with '*' ending every block (tape code decoded, LF/CR ends restored).
std::string RestoreBlocks(const std::string& bytes, const CamFileFormat& format);

// A plain (RS-274-D) photo file made readable: RestoreBlocks, and %FS/%MO/%AD from the aperture
// list file (vtphot.txt, CP932) before it.
std::string GerbvPhotoText(const std::string& bytes, const CamFileFormat& format,
                           const std::string& apertureList);

// A drill file with an M48 header from the tool list (vtdril.txt) before it; the blocks end in
// line ends.
std::string GerbvDrillText(const std::string& bytes, const CamFileFormat& format,
                           const std::string& toolList);

// A D03 drill file as a Gerber file of round flashes: %FS/%MO and one %AD per tool of the list.
std::string GerbvD03Text(const std::string& bytes, const CamFileFormat& format, const std::string& toolList);

// The flash points of gerbv's RS-274-X export and the hits of its drill export, in millimetres.
std::vector<GerbvPoint> GerbvExportedFlashes(const std::string& rs274x);
std::vector<GerbvPoint> GerbvExportedHits(const std::string& drill);

// Writes `text` to `file`, runs gerbv on it (export to `format` beside it) and returns the export
// (empty for png); problems, a non-zero status or a missing output fail the calling test.
std::string CheckWithGerbv(const std::filesystem::path& file, const std::string& text,
                           const std::string& format);

} // namespace testing_support
