#pragma once
// Net: one signal of the board's net list. A name and its nodes (part reference and pin number),
// each node bound to a board terminal once the document offers the terminals; the rubber lines
// that show the net's unrouted connections between copper groups; the net compare of the design
// check; and the net's text in the net-list dialects of other tools (NetDialect.cpp).
//
// Only ID, type and name are stored in the board file; nodes and rubber lines are rebuilt.

#include "model/geometry/DPoint.h"
#include "model/geometry/DRect.h"
#include "platform/Types.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CArchive;
class CNetLine;
class CPart;
class CTer;
class DocumentServices;

namespace platform {
class DrawContext;
}

class CNet
{
public:
    // A part reference and a pin number, and the terminal and copper groups found for them.
    class CNetNode
    {
    public:
        // Unbound; the strings are taken as given.
        CNetNode(std::string reference, std::string pin);
        // The reference of the terminal's part (empty for a loose terminal) and the terminal's
        // number; the terminal is bound.
        explicit CNetNode(CTer* ter);

        // Reference and pin both equal, without case (CP932 rules: u1/A equals U1/a).
        bool operator==(const CNetNode& other) const;

        const std::string& GetRefName() const { return m_strRef; }
        const std::string& GetPinName() const { return m_strPin; }
        // What the net-list texts name: the reference of the bound terminal's part and the
        // terminal's number; the node's own reference and pin when it is not bound to a part's
        // terminal.
        std::string GetTerRefName() const;
        std::string GetTerPinName() const;
        CTer* GetTer() const { return m_pTer; }
        void SetTer(CTer* ter) { m_pTer = ter; }
        int GetGroup() const { return m_nGroup; }
        void SetGroup(int group) { m_nGroup = group; }
        // Every copper group reachable from the terminal, as the last MakeTour found them.
        std::vector<CNetLine*>& GetNetLines() { return m_NetLines; }
        const std::vector<CNetLine*>& GetNetLines() const { return m_NetLines; }

    private:
        // The part that holds the terminal, or null for none or a loose terminal.
        static const CPart* PartOf(const CTer* ter);
        static std::string PartRefOf(const CTer* ter);

        int m_nGroup = 0;
        std::string m_strRef;
        std::string m_strPin;
        CTer* m_pTer = nullptr;            // not owned
        std::vector<CNetLine*> m_NetLines; // not owned
    };

    // One unrouted connection between two nodes of the net.
    struct CRubberLine
    {
        std::uint8_t chosen = 0;  // 1 between copper groups, 0 on a tour of unjoined terminals
        CNetNode* from = nullptr; // nodes of the same net; not owned
        CNetNode* to = nullptr;
        double length = 0.0; // Manhattan length, for lines between groups
        CDPoint fromPoint;
        CDPoint toPoint;
    };

    using NodeList = std::vector<std::unique_ptr<CNetNode>>;
    using RubberLineList = std::vector<std::unique_ptr<CRubberLine>>;

    // ID 0, type 0, empty name and lists.
    CNet();
    // ID 0, type 0, the given name.
    explicit CNet(const std::string& name);
    // ID, type and name, and copies of the other's nodes (bound to the same terminals). Rubber
    // lines, colour, bounds and the marked flag are not copied.
    CNet(const CNet& other);
    // As the copy constructor; this net's own nodes and rubber lines are deleted first (the rubber
    // lines named the old nodes). Colour, bounds and the marked flag stay.
    CNet& operator=(const CNet& other);
    ~CNet();

    std::uint32_t GetID() const { return m_nID; }
    void SetID(std::uint32_t id) { m_nID = id; }
    // 1 when every bound terminal lies on one copper group, 0 when no two are joined (MakeTour).
    int GetType() const { return m_nType; }
    const std::string& GetNetName() const { return m_strName; }
    void SetNetName(const std::string& name) { m_strName = name; }
    COLORREF GetColor() const { return m_Color; }
    void SetColor(COLORREF color) { m_Color = color; }
    // The mark of one net-compare pass.
    void SetMaker() { m_nMarked = 1; }
    void ResetMaker() { m_nMarked = 0; }
    int IsMarked() const { return m_nMarked; }

    int GetNodeCount() const { return static_cast<int>(m_Nodes.size()); }
    const NodeList& GetNodes() const { return m_Nodes; }
    // The node at a 0-based index, or null past the end.
    CNetNode* GetNode(int index) const;
    // Reference and pin of the node at a 0-based index; an index past the end leaves both as they are.
    void GetNetNode(int index, std::string& ref, std::string& pin) const;
    const RubberLineList& GetRubberLines() const { return m_RubberLines; }
    // The rectangle of the rubber lines as the last MakeTour left it.
    const CDRect& GetBoundingRect() const { return m_rcBound; }

    // Deletes every node and every rubber line.
    void DeleteContents();

    // --- Terminals ---
    // Binds the terminal to the first node of its part's reference and its number, and gives the
    // terminal this net's ID; false (nothing changed) when no node matches.
    bool SetPartTer(CTer* ter);
    // Unbinds every node.
    void ResetPartTer();
    // Appends a node made from the terminal, even when an equal node is already there.
    void AddTailPartTer(CTer* ter);

    // --- Net compare ---
    // More than one node.
    bool CheckNet() const;
    // Marks this net and the first unmarked listed net that has exactly this net's nodes.
    bool CheckNet(const std::vector<CNet*>& nets);
    // The difference report against the listed nets: "=== " the nodes on none of them, then per
    // listed net that shares a node "!!! " the shared nodes and "### " its other nodes.
    void GetSameNet(const std::vector<CNet*>& nets, std::vector<std::string>& report) const;
    // Removes repeated nodes; whether any was removed.
    bool DupCorrection();
    // When the other net shares a node with this one, tells the user and takes over the other's
    // nodes (the caller then deletes the other net); false when they share none.
    bool DupCorrection(CNet* other);

    // --- Copper and rubber lines ---
    // The copper length of the first node's copper groups; 0 without nodes.
    double GetNetLength() const;
    // Groups the bound terminals by copper and joins the groups with rubber lines; the bounds.
    CDRect MakeTour(DocumentServices* doc);
    // Dotted lines in the net's colour when the bounds are visible.
    void DrawNet(platform::DrawContext* dc) const;

    // --- Board-file record: ID, type, name ---
    void Serialize(CArchive& ar, int version);
    void DataWrite(CArchive& ar) const;
    // A record cut short throws ArchiveError and leaves the net as it was.
    void DataRead(CArchive& ar, int version);

    // --- Net-list dialects (NetDialect.h lists the codes) ---
    // Reads one net's text (name and nodes); whether the net has a name afterwards.
    bool MakeNet(int code, const std::string& text);
    // The file header: a format for the caller's file name and date, in that order.
    static std::string MakeHead(int code);
    // This net's text; number counts the written nets from 1. Empty for a net without nodes.
    std::string MakeString(int code, int number) const;
    // The file trailer, possibly empty.
    static std::string MakeTail(int code);

protected:
    // The node equal to reference and pin (both trimmed), appended when absent.
    CNetNode* SetRefPin(const std::string& ref, const std::string& pin);
    // Takes over the other net's nodes (an equal node is not repeated) with their terminals.
    void AddNode(const CNet* other);
    // The closest pair of nodes between two groups (the first pair on ties) into out.
    void GetMinNode(int a, int b, CRubberLine* out) const;

private:
    // MakeNet's look-up of the nodes read so far, so that a net of many nodes reads in linear time.
    struct NodeIndex;
    // SetRefPin through the index (which learns the appended node).
    CNetNode* AddRefPin(NodeIndex& index, const std::string& ref, const std::string& pin);
    // The separated-list reader of MakeNet: reference s pin e, reference s pin e, ...
    void MakeNetSub(NodeIndex& index, char s, char e, std::string rest);
    void ReadPairList(NodeIndex& index, std::string rest);
    void ReadParenList(NodeIndex& index, std::string rest, char terminator);
    void ReadDashList(NodeIndex& index, std::string rest);
    // The text of a net of that name holding those nodes (the net-compare report writes parts
    // of nets).
    static std::string FormatNet(int code, int number, const std::string& name,
                                 const std::vector<const CNetNode*>& nodes);
    void CopyNodes(const CNet& other);
    void DeleteRubberLines() { m_RubberLines.clear(); }

    std::uint32_t m_nID = 0;
    std::string m_strName;
    std::int32_t m_nType = 0;
    CDRect m_rcBound;
    NodeList m_Nodes;
    RubberLineList m_RubberLines;
    COLORREF m_Color = RGB(255, 255, 255);
    int m_nMarked = 0;
};

// The nodes of a net list filed by key: equal keys exactly for nodes equal under
// CNet::CNetNode::operator== (reference and pin without case, CP932 rules). Keys are numbered from
// 0 in the order they were first added and kept in one buffer under one open-addressing table, so
// that a list of millions of nodes is filed without an allocation per node.
class CNetNodeKeys
{
public:
    static constexpr std::uint32_t npos = 0xFFFFFFFFu;

    // Room for about that many keys.
    explicit CNetNodeKeys(std::size_t expected = 0) { Clear(expected); }
    // Forgets every key.
    void Clear(std::size_t expected = 0);
    // The number of the node's key, and whether the key was added now.
    std::pair<std::uint32_t, bool> Add(std::string_view ref, std::string_view pin);
    // The number of the node's key, or npos.
    std::uint32_t Find(std::string_view ref, std::string_view pin);
    // Add in two steps, for long runs of nodes: Queue makes a node's key and fetches its place in
    // the table ahead; AddQueued adds the oldest queued key and gives what Add would have given.
    void Queue(std::string_view ref, std::string_view pin);
    std::pair<std::uint32_t, bool> AddQueued();
    // As Find, for the oldest queued key.
    std::uint32_t FindQueued();
    std::size_t Size() const { return m_begin.size() - 1; }

    // The key of a node into out: the length of the folded reference, then the folded reference and
    // pin, each character's folded code in its own width (folding keeps a code's width, so two
    // different folded texts never give one key).
    static void MakeKey(std::string_view ref, std::string_view pin, std::string& out);

private:
    struct Slot
    {
        std::uint32_t tag; // high bits of the key's hash
        std::uint32_t id;  // npos: empty
    };
    struct Queued
    {
        std::size_t begin, size, hash; // the key in m_queue
    };
    // The slot holding the key, or the empty slot where it would go.
    std::size_t Probe(std::string_view key, std::size_t hash) const;
    std::pair<std::uint32_t, bool> Add(std::string_view key, std::size_t hash);
    std::string_view KeyOf(const Queued& q) const { return std::string_view(m_queue).substr(q.begin, q.size); }
    void Grow();

    std::string m_key;  // the key being looked up
    std::string m_text; // every key, one after another
    std::vector<std::size_t> m_begin; // where each key starts in m_text, and the end
    std::vector<Slot> m_slots;        // a power of two, at most half full
    std::string m_queue;              // queued keys, one after another
    std::vector<Queued> m_queued;
    std::size_t m_nextQueued = 0;
};

