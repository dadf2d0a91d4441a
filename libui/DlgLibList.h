#pragma once
// Part library browser ("部品一覧"): the registered part libraries as a tree of libraries,
// packages and the elements of several-part packages, read from each library's index (or from
// the library, which rebuilds the index) when the library is first opened. The selected part is
// previewed in the board's layer colours with a choice of part layers, and described; a package
// may be renamed in place, a package or an element deleted, and a whole library copied to the
// clipboard as item text.

#include "libui/ItemDialog.h"
#include "model/items/Part.h"

#include <QIcon>
#include <memory>
#include <string>
#include <vector>

class DocumentServices;
class CSheet;
class QCheckBox;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

class CDlgLibList : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 310,
        IdTree = 1596,
        IdPreview = 1597,
        IdRef = 1526,
        IdValue = 1528,
        IdType = 1598,
        IdKind = 1599,
        IdOptions = 1602,
        IdTerminals = 1601,
        IdAll = 1595
    };
    // Data words of the tree's items (elements carry number * 16 + kElement...).
    enum ItemData
    {
        kLibrary = 0,
        kPackage = 1,
        kElementPlain = 1, // element without reference, low nibble
        kElementRef = 2,   // element with reference, low nibble
        kCount = 3
    };
    static constexpr unsigned kFixedLayers = 0x2800000u;
    static constexpr unsigned kAllLayers = 0xFFFF0000u;
    // Tree roles: the data word, and the CP932 bytes of a library's path or a package's name.
    static constexpr int DataRole = Qt::UserRole;
    static constexpr int BytesRole = Qt::UserRole + 1;

    // One record of a library's index.
    struct IndexRecord
    {
        std::string package;
        int packageMax = 0;
        std::string reference;
        int type = 0;
        std::string text; // the first text's name of an element without reference
    };

    explicit CDlgLibList(QWidget* parent = nullptr);
    ~CDlgLibList() override;

    void SetDocument(DocumentServices* doc) { m_pDoc = doc; }
    // The previewed part under the selected package name.
    CPart GetPart();

    QTreeWidget* Tree() const { return m_tree; }
    unsigned DisplayMask() const { return m_nDisp; }
    // Reads a library's index file; false when it is missing, of another version, cut short or
    // inconsistent.
    static bool ReadIndex(const std::string& indexPath, std::vector<IndexRecord>& records);
    // Draws the preview of the working part into the painter's rectangle.
    void DrawPreview(QPainter& painter, const QRect& area);

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnItemExpanded(QTreeWidgetItem* item);
    void OnSelectionChanged();
    void OnItemChanged(QTreeWidgetItem* item, int column);
    void OnDelete();
    void OnCopyLibrary();
    void OnAll();
    // Fills a library's item from its index or file: false when nothing could be read.
    bool ReadLibrary(QTreeWidgetItem* library);
    void AddRecords(QTreeWidgetItem* library, const std::vector<IndexRecord>& records);
    // The path of the item's library (CP932); empty for a top-level item or none.
    std::string LibraryOf(QTreeWidgetItem* item) const;
    QTreeWidgetItem* CountItem(QTreeWidgetItem* library) const;
    void AddToCount(QTreeWidgetItem* library, int delta);
    void RenamePackage(QTreeWidgetItem* item, const std::string& newName);
    void ShowInfo();
    void RefreshPreview();

    QTreeWidget* m_tree;
    QWidget* m_preview;
    std::vector<QIcon> m_icons;
    std::vector<QCheckBox*> m_dispChecks;
    QLineEdit* m_infoRef;
    QLineEdit* m_infoValue;
    QLineEdit* m_infoType;
    QLineEdit* m_infoKind;
    QLineEdit* m_infoOptions;
    QLineEdit* m_infoTerminals;

    std::string m_strPackage; // selected package name (CP932)
    std::string m_strElement; // selected element text (CP932)
    bool m_bFilling = false;
    std::unique_ptr<CSheet> m_scratch; // outlives the part that points to it
    CPart m_part;
    unsigned m_nDisp = kAllLayers;
    DocumentServices* m_pDoc = nullptr;
};
