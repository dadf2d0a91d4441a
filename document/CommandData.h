#pragma once
// What the document hands the frame to show in its tool-bar combos and pop-up menus: plain data
// (texts, ids, item data, check and enable states), so that the document needs no widgets and
// tests read exactly what a user would see.

#include <string>
#include <vector>

// One entry of a combo box: its CP932 text and the number it stands for.
struct ComboEntry
{
    std::string text;
    int data = 0;
};

// A combo's whole content: entries in order and the selected index (-1: none).
struct ComboData
{
    std::vector<ComboEntry> entries;
    int selected = -1;
};

// One item of a pop-up menu; a separator has id 0 and no text.
struct MenuEntry
{
    int id = 0;
    std::string text; // CP932, '&' marks the access key, '\t' starts the accelerator
    bool checked = false;
    bool enabled = true;
    bool separator = false;
};

using MenuData = std::vector<MenuEntry>;
