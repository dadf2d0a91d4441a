#pragma once
// The board's CAM output command: the output dialog, the settings stored with the board, and the
// photo and drill output it asks for.

class CVELTADoc;

constexpr int ID_CAM_DATA_OUTPUT = 32833;

// "ツール(&T)/CAMデータ出力(&O)" on the board.
void OnCamDataOutput(CVELTADoc& doc);
