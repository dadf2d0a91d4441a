#pragma once
// Every command of the program in one table (id, Japanese caption, shortcut), and the menus built
// from it: the main menus 128 (no board) and 129 (a board open) and the view's pop-ups.

#include <vector>

struct CommandInfo
{
    int id;
    const char* caption; // UTF-8, with its "&" mnemonic; no shortcut text
    const char* key;     // shortcut in Qt's portable form, or empty
    bool viewKey;        // the key belongs to the board view: shown in menus, bound to no action
    const char* tip;     // status-bar prompt, or empty
};

// Menu layout: a command (id > 0), a separator (id 0), or a sub-menu (id < 0, caption and items).
struct MenuItemDef
{
    int id;
    const char* caption = nullptr;
    std::vector<MenuItemDef> items = {};
};

enum CommandId
{
    ID_ENVIRONMENT = 101,
    ID_TOOL_FIRST = 107,
    ID_TOOL_LAST = 118,
    ID_PROJECT_FIRST = 151,
    ID_PROJECT_LAST = 166,
    ID_SHEET_SIZE_PANE = 119,
    ID_DATE_PANE = 105,
    ID_TIME_PANE = 106,
    ID_LAYER_COMBO = 32785,
    ID_TURRET_COMBO = 32787,
    ID_BAR_INPUT = 32789,
    ID_BAR_TOOLS = 32793,
    ID_SAVE_ALL = 32830,
    ID_CLOSE = 32831,
    ID_CLOSE_ALL = 32835,
    ID_REGISTER_PART = 32805,
    ID_PROJECT = 32843,
    ID_HOME_PAGE = 32847,
    ID_SUPPORT_PAGE = 32848,
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_PRINT_SETUP = 57606,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_FILE_MRU_FIRST = 57616,
    ID_FILE_MRU_LAST = 57631,
    ID_FIND = 57636,
    ID_FIND_NEXT = 57640,
    ID_WINDOW_NEW = 57648,
    ID_WINDOW_ARRANGE = 57649,
    ID_WINDOW_CASCADE = 57650,
    ID_WINDOW_TILE = 57651,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_STATUS_BAR = 59393,

    ID_WORK_AREA = 32944,
    ID_LAYER_SWAP = 32973
};

const std::vector<CommandInfo>& GetCommandTable();
// The entry of a command; null for an id the table does not hold.
const CommandInfo* FindCommand(int id);
// Menus 128 and 129 (top-level items are sub-menus) and pop-ups 150, 151, 152, 179 and 197 (one
// sub-menu holding the items); empty for another id.
std::vector<MenuItemDef> GetMenuLayout(int menuId);
