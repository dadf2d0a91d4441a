#pragma once
// Start-up of the board-model library. The program calls InitQuarn before anything else with the
// stroke-font file beside its executable; the file stays open for the life of the process and
// every stroke text is drawn from it. Tests initialise with a font file of their own.

#include "model/startup/StrokeFontFile.h"

#include <filesystem>
#include <string>

// Name of the stroke-font file beside the executable.
inline constexpr const char* kStrokeFontFileName = "VELTA0.FNT";

// Opens the stroke-font file (closing one opened before). When it cannot be opened the user is
// told "Font file open error !" and the result is false: the program must not go on.
bool InitQuarn(const std::filesystem::path& fontFile);
// Closes the stroke-font file.
void TermQuarn();

// The process-wide stroke-font file with its reader state.
StrokeFontFile& GetStrokeFontFile();

// Stroke bytes of a character from the process-wide file (see StrokeFontFile::GetStrokeData).
bool GetStrokeData(unsigned code, std::string& strokes);
