#include "model/services/ItemDialogs.h"

namespace {
ItemDialogs* g_itemDialogs = nullptr;
}

ItemDialogs* GetItemDialogs()
{
    return g_itemDialogs;
}

void SetItemDialogs(ItemDialogs* dialogs)
{
    g_itemDialogs = dialogs;
}
