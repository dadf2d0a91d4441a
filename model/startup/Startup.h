#pragma once
// Start-up of the board-model library. The program calls InitQuarn before anything else with the
// stroke-font file beside its executable: it connects the model's parts to each other (item kinds
// of the layer sheet, copper-group steps, the face resolver of drawing contexts), checks that every
// item kind is there, and reads the stroke font once; every stroke text is drawn from that table.
// Tests install the hooks in their main and open a font file of their own.

#include "model/startup/StrokeFontFile.h"

#include <filesystem>
#include <string>

// Name of the stroke-font file beside the executable.
inline constexpr const char* kStrokeFontFileName = "VELTA0.FNT";

// Registers the nine item kinds with the layer sheet, installs the copper-group steps of sheets and
// terminals and the TrueType face resolver, then checks the kinds (CheckQuarnKinds). Done
// explicitly, not from static objects, which a static link of the library may drop. Running it
// again changes nothing.
bool InstallQuarnHooks(std::string* missing = nullptr);
// Whether every item kind is registered; when one is not, the names of the missing kinds go to
// `missing` (e.g. "surface terminal").
bool CheckQuarnKinds(std::string* missing = nullptr);

// Installs the hooks and reads the stroke-font file (replacing one read before). When an item kind
// is missing the user is told "Item kinds not registered: ..."; when the font cannot be read,
// "Font file open error !". Either way the result is false: the program must not go on.
bool InitQuarn(const std::filesystem::path& fontFile);
// Drops the stroke font.
void TermQuarn();

// The process-wide stroke font with its reader state.
StrokeFontFile& GetStrokeFontFile();

// Stroke bytes of a character from the process-wide font (see StrokeFontFile::GetStrokeData).
bool GetStrokeData(unsigned code, std::string& strokes);
