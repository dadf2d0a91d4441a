#pragma once
// Small stateless helpers shared by the frame, the view, the document and the dialogs: settings
// line separators, groups of net ids and angles for the user.

#include <cstdint>
#include <string>
#include <vector>

// Occurrences of `sep` before the end or the first '#'; for a separator other than ';', an
// unquoted ';' (an even number of '"' seen so far) ends the count too.
int CountSeparators(const char* line, char sep);

// Removes every later repeat of a value; first occurrences keep their order.
void RemoveDuplicateValues(std::vector<std::uint32_t>& values);
// The zero-ended groups of a run of values; values after the last 0 form no group.
std::vector<std::vector<std::uint32_t>> SplitGroups(const std::vector<std::uint32_t>& values);
// `groups` is a run of zero-ended groups. Groups sharing a value are merged (the merged group goes
// to the end) until no two groups share one.
void MergeOverlappingGroups(std::vector<std::uint32_t>& groups);
// For each zero-ended group of src, the values whose low byte is `key`; when at least two remain
// after removing repeats, they are appended to dst followed by 0.
void FilterGroupsByLowByte(std::uint8_t key, const std::vector<std::uint32_t>& src,
                           std::vector<std::uint32_t>& dst);

// An angle in radians as degrees in (-180, 180]; values within 1e-6 of 0, 2 pi or pi snap.
double NormalizeAngleDegrees(double radians);

// The status bar's board-size text: "%#5G-%#5G" of width and height, or with `origin` the user
// origin as "%#5Gx%#5G".
std::string FormatSheetSizeText(double a, double b, bool origin);

// The board view's auto-pan switch (the program's Scroll Lock): set by the frame on activation,
// toggled by the view's key, read by edge panning.
void SetScrollLock(bool on);
bool IsScrollLockOn();
