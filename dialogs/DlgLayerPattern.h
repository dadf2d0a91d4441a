#pragma once
// Layer pattern dialog ("レイヤパターン"): an ordered list of output entries, each a name, a file
// name and a list of layers, shown as "%-14s: %-13s:" followed by the layers in a fixed-pitch face.
// In printer mode every entry's file name is "PRINTER" and entries are told apart by name.

#include "libui/ItemDialog.h"

#include <array>
#include <string>
#include <vector>

class QListWidget;
class QPushButton;

class CDlgLayerPattern : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 160,
        IdLayerButton = 1097,
        IdName = 1127,
        IdAdd = 1128,
        IdDelete = 1129,
        IdUp = 1130,
        IdList = 1131,
        IdDown = 1132,
        IdFile = 1133,
        IdLayers = 1161
    };
    static constexpr int kLayers = 128;

    explicit CDlgLayerPattern(QWidget* parent = nullptr);

    std::vector<std::string> m_entries; // CP932; replaced on OK
    bool m_bPrinter = false;
    std::string m_strName;
    std::string m_strFile;
    std::string m_strLayers;
    std::array<int, kLayers> m_order{};

    // "%-14s: %-13s:" of name and file name (padded by bytes) followed by the layer list.
    static std::string FormatEntry(const std::string& name, const std::string& file,
                                   const std::string& layers);
    // Name before the first ':', file name between the first and the last, layers after the last;
    // name and file name trimmed.
    static void ParseEntry(const std::string& entry, std::string& name, std::string& file,
                           std::string& layers);

    void accept() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    void RefreshButtons();
    void ShowEntry(int row);
    void OnSelect();
    void OnLayerButton();
    void OnAdd();
    void OnDelete();
    void OnMove(int delta);
    void InsertRow(int row, const std::string& entry);
    std::string RowText(int row) const;

    QListWidget* m_list;
    QPushButton* m_add;
    QPushButton* m_delete;
    QPushButton* m_up;
    QPushButton* m_down;
    std::vector<std::string> m_rows; // the list's entries in CP932, row by row
};
