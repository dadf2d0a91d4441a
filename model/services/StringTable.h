#pragma once
// Quarn's string table: messages that the library's dialogs show and the program uses as well.

#include <string>

enum QuarnStringId
{
    IDS_PART_NAME_MISSING = 2001, // "部品名を入力して下さい"
    IDS_REFERENCE_MISSING = 2002  // "参照番号が設定されていません"
};

// The CP932 text of a string id; empty for an id the table does not hold.
std::string LoadQuarnString(int id);
