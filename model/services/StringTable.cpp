#include "model/services/StringTable.h"

#include "platform/J.h"

std::string LoadQuarnString(int id)
{
    switch (id) {
    case IDS_PART_NAME_MISSING:
        return _J("部品名を入力して下さい");
    case IDS_REFERENCE_MISSING:
        return _J("参照番号が設定されていません");
    default:
        return std::string();
    }
}
