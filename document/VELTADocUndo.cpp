// The undo and redo store, its commands, and the modified state that follows it.
//
// A step record is twelve words: the counts of terminals, surfaces, holes, texts, vias, arcs,
// parts, lands, lines and all items, then layer | group << 8, then the step type. The recorded
// items lie at the ends of the undo (redo) sheet's lists, so a step's counts cut exactly its items
// off again.
//
// The modified state is a generation: every undo record carries the board state it made, and the
// state of the board is that of the newest undo record. Undoing gives the state below back, redoing
// gives the undone record's state back, and a new edit makes a state never seen before; saving
// remembers the state saved. So a board undone to its save is unmodified again, and one that was
// undone and then edited differently stays modified even where the history has the same length.

#include "document/VELTADoc.h"

#include "document/DocumentHost.h"
#include "document/ItemFinder.h"
#include "model/items/Part.h"
#include "platform/J.h"
#include "platform/Profile.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::size_t kRecordWords = 12;
constexpr int kTypeAdded = 1;
constexpr int kTypeDeleted = 2;
constexpr int kTypeReplaced = 3;
constexpr int kTypeReplacement = 5;
constexpr int kAutoSaveMessage = 1027;

// Counter index of each kind: 1 line, 2 land, 3 part, 4 arc, 5 via, 6 text, 7 hole, 8 surface,
// 9 terminal (the kind bit's position + 1).
int CounterOf(int kind)
{
    const int index = SheetKindIndex(kind);
    return index < 0 ? -1 : index + 1;
}

// The Input-menu command id that counts a counter's kind in a sheet.
constexpr std::array<int, 10> kCounterCommands = {0,
                                                  ID_INPUT_LINE,
                                                  ID_INPUT_LAND,
                                                  ID_INPUT_PART,
                                                  ID_INPUT_ARC,
                                                  ID_INPUT_VIA,
                                                  ID_INPUT_TEXT,
                                                  ID_INPUT_HOLE,
                                                  ID_INPUT_SUR,
                                                  ID_INPUT_TER};

struct StepRecord
{
    std::array<unsigned, 10> counts{}; // counter order: total, lines, ..., terminals
    int layer = 0;
    unsigned group = 0;
    int type = 0;
};

StepRecord ReadRecord(const std::vector<unsigned>& history, std::size_t end)
{
    StepRecord record;
    const std::size_t base = end - kRecordWords;
    for (std::size_t i = 0; i < 10; ++i)
        record.counts[9 - i] = history[base + i];
    record.layer = static_cast<int>(history[base + 10] & 0xFF);
    record.group = history[base + 10] >> 8;
    record.type = static_cast<int>(history[base + 11]);
    return record;
}

bool StartsModified(const std::string& title, const std::string& mark)
{
    return title.size() >= mark.size() && title.compare(title.size() - mark.size(), mark.size(), mark) == 0;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Recording

void CVELTADoc::StoreItem(bool redo, CItemBase* item, int layer, int group, int type)
{
    if (!item)
        return;
    CSheet& store = redo ? m_redoSheet : m_undoSheet;
    std::array<int, 10>& counters = redo ? m_redoCounters : m_undoCounters;
    if (item->GetKind() == KIND_SHEET) {
        CSheet& sheet = *static_cast<CSheet*>(item);
        for (std::size_t i = 1; i < counters.size(); ++i)
            counters[i] += sheet.GetCount(kCounterCommands[i]);
        counters[0] += sheet.GetCount(0);
        store += sheet;
    } else {
        const int counter = CounterOf(item->GetKind());
        if (counter < 0 || !store.StoreCopy(*item))
            return;
        ++counters[static_cast<std::size_t>(counter)];
        ++counters[0];
    }
    if (type != 0)
        CloseStep(redo, layer, group, type);
}

void CVELTADoc::CloseStep(bool redo, int layer, int group, int type)
{
    std::vector<unsigned>& history = redo ? m_redoHistory : m_undoHistory;
    std::array<int, 10>& counters = redo ? m_redoCounters : m_undoCounters;
    for (std::size_t i = 0; i < 10; ++i) {
        history.push_back(static_cast<unsigned>(counters[9 - i]));
        counters[9 - i] = 0;
    }
    history.push_back((static_cast<unsigned>(layer) & 0xFF) | (static_cast<unsigned>(group) << 8));
    history.push_back(static_cast<unsigned>(type));
    if (redo) {
        m_redoGenerations.push_back(m_replayGeneration);
    } else {
        // Records this store did not make (none so far) count as a state of their own.
        m_undoGenerations.resize(m_undoHistory.size() / kRecordWords - 1, m_nextGeneration++);
        m_undoGenerations.push_back(m_bReplaying ? m_replayGeneration : m_nextGeneration++);
    }
    SetTitle(std::string());
    if (redo || type != kTypeReplacement)
        CountEdit();
}

void CVELTADoc::StoreUndoItem(CItemBase* item, int layer, int group, int type)
{
    m_redoHistory.clear();
    m_redoGenerations.clear();
    m_redoCounters.fill(0);
    m_redoSheet.DeleteContents();
    StoreItem(false, item, layer, group, type);
}

void CVELTADoc::StoreUndoItems(CItemBase& item, std::size_t count, const std::function<void(std::size_t)>& prepare,
                               int layer, int group, int type)
{
    if (count == 0)
        return;
    prepare(0);
    StoreUndoItem(&item, layer, group, count == 1 ? type : 0);
    // Nothing reaches the redo store in between: it stays empty.
    for (std::size_t i = 1; i < count; ++i) {
        prepare(i);
        StoreItem(false, &item, layer, group, i + 1 == count ? type : 0);
    }
}

void CVELTADoc::StoreRedoItem(CItemBase* item, int layer, int group, int type)
{
    StoreItem(true, item, layer, group, type);
}

void CVELTADoc::StoreUndo(int set, int type)
{
    if (set != 0 && set != 2 && set != 5 && set != 6)
        return;
    // Shown layers in display order, then every other layer: nothing of the set is left out.
    int group = 0;
    if (set != 6) {
        std::array<bool, LAYER_MAX> done{};
        auto record = [&](int layer) {
            done[static_cast<std::size_t>(layer)] = true;
            CSheet* sheet = GetSetSheet(set, layer);
            if (sheet && !sheet->IsEmpty())
                StoreUndoItem(sheet, layer, group++, type);
        };
        for (const auto& entry : m_displayList)
            if (entry.second >= 0 && entry.second < LAYER_MAX &&
                !done[static_cast<std::size_t>(entry.second)])
                record(entry.second);
        for (int layer = 0; layer < LAYER_MAX; ++layer)
            if (!done[static_cast<std::size_t>(layer)])
                record(layer);
    }
    CSheet* viaParts = set == 6 ? &m_selViaPartSheet : GetSetSheet(set, LAYER_MAX);
    if (viaParts && !viaParts->IsEmpty())
        StoreUndoItem(viaParts, LAYER_MAX, group, type);
}

void CVELTADoc::StoreUndoForItem(CItemBase* item, int type)
{
    if (!item)
        return;
    const bool viaOrPart = item->GetKind() == KIND_VIA || item->GetKind() == KIND_PART;
    StoreUndoItem(item, viaOrPart ? LAYER_MAX : m_nCurrentLayer, 0, type);
}

int CVELTADoc::GetLastUndoClass() const
{
    if (m_undoHistory.size() < kRecordWords)
        return 0;
    const StepRecord record = ReadRecord(m_undoHistory, m_undoHistory.size());
    if (record.type != kTypeAdded || record.group >= 2 || record.counts[0] == 0)
        return 0;
    for (std::size_t i = 1; i < record.counts.size(); ++i)
        if (record.counts[i] == record.counts[0])
            return static_cast<int>(i);
    return 0;
}

int CVELTADoc::GetLastUndoLayer() const
{
    if (m_undoHistory.size() < kRecordWords)
        return -1;
    return ReadRecord(m_undoHistory, m_undoHistory.size()).layer;
}

void CVELTADoc::CountEdit()
{
    platform::Profile& profile = platform::GetProfile();
    if (profile.GetInt("FileSave", "AutoSave", 0) == 0)
        return;
    ++m_nEditCount;
    // Every count from the limit on asks for the timer, which the frame starts once; a limit below
    // 1 asks at the first edit.
    const int limit = std::max(1, profile.GetInt("FileSave", "UndoCount", 100));
    if (m_nEditCount >= static_cast<unsigned>(limit) && m_pHost)
        m_pHost->PostMainMessage(kAutoSaveMessage, 0, 0);
}

// ---------------------------------------------------------------------------------------------
// Taking steps back out

void CVELTADoc::DeleteEqualBoardItems(CSheet& items, int layer)
{
    CSheet* target = GetSetSheet(0, layer);
    if (!target)
        return;
    CDRect rect;
    if (layer == LAYER_MAX || IsDisplayedLayer(layer))
        rect = items.GetBoundingRect();
    ItemFinder finder(*target, 0x1FF, ItemFinder::EQUALITY);
    for (int kind :
         {KIND_LINE, KIND_VIA, KIND_LAND, KIND_HOLE, KIND_TEXT, KIND_ARC, KIND_SUR, KIND_PART, KIND_TER}) {
        for (POSITION pos = items.GetFirstItemPos(kind); pos;) {
            const POSITION here = pos;
            CItemBase* item = items.GetNextItem(kind, pos);
            if (CItemBase* equal = finder.FindEqual(*item)) {
                finder.Delete(equal);
                items.DeleteItemAt(kind, here);
            }
        }
    }
    m_repaintRect = rect;
    if (!m_repaintRect.IsRectNull() && m_pHost)
        m_pHost->UpdateAllViews(1, &m_repaintRect, nullptr);
}

void CVELTADoc::RestoreStep(CSheet& popped, int layer)
{
    DeleteEqualBoardItems(popped, layer);
}

int CVELTADoc::PopUndoStep(bool restore, bool viaParts)
{
    if (m_undoHistory.size() < kRecordWords)
        return -1;
    StepRecord record = ReadRecord(m_undoHistory, m_undoHistory.size());
    if (record.type == kTypeDeleted)
        return -1;
    int lastType = record.type;
    unsigned remaining = record.group + 1;
    while (remaining-- > 0 && m_undoHistory.size() >= kRecordWords) {
        record = ReadRecord(m_undoHistory, m_undoHistory.size());
        lastType = record.type;
        m_undoHistory.resize(m_undoHistory.size() - kRecordWords);
        if (!m_undoGenerations.empty())
            m_undoGenerations.pop_back();
        CSheet scratch(SHEET_WORK);
        m_undoSheet.GetItemTail(record.counts.data(), scratch);
        int layer = record.layer;
        // Vias and parts go back to the via and part sheets: a record of vias when asked, and a
        // record of the via and part sheet in any case.
        if ((record.counts[5] != 0 && viaParts) || layer >= LAYER_MAX) {
            layer = LAYER_MAX;
            m_selViaPartSheet += scratch;
        } else {
            SetCurrentLayer(layer);
            m_selSheets[static_cast<std::size_t>(layer)] += scratch;
        }
        if (restore)
            RestoreStep(scratch, layer);
    }
    m_undoHistory.shrink_to_fit();
    SetTitle(std::string());
    if (m_undoHistory.size() >= kRecordWords)
        return ReadRecord(m_undoHistory, m_undoHistory.size()).type;
    return lastType;
}

// ---------------------------------------------------------------------------------------------
// Undo and redo commands

bool CVELTADoc::CanUndo()
{
    return !m_undoHistory.empty() && IsSelectionEmpty();
}

bool CVELTADoc::CanRedo()
{
    return !m_redoHistory.empty() && IsSelectionEmpty();
}

void CVELTADoc::OnEditUndo()
{
    ReplayStep(false);
}

void CVELTADoc::OnEditRedo()
{
    ReplayStep(true);
}

// Undo (redo false) or redo of one user step: the newest record and, while the records say they
// belong to it, the ones below, in a loop.
void CVELTADoc::ReplayStep(bool redo)
{
    std::vector<unsigned>& history = redo ? m_redoHistory : m_undoHistory;
    std::vector<std::uint64_t>& generations = redo ? m_redoGenerations : m_undoGenerations;
    CSheet& store = redo ? m_redoSheet : m_undoSheet;
    unsigned& inProgress = redo ? m_nRedoGroup : m_nUndoGroup;
    if (history.size() < kRecordWords)
        return;
    CDRect dirty;
    bool groupStarted = false;
    for (;;) {
        if (history.size() < kRecordWords)
            break;
        const StepRecord record = ReadRecord(history, history.size());
        if (!groupStarted) {
            inProgress = record.group;
            groupStarted = true;
            dirty.SetRectEmpty();
        }
        history.resize(history.size() - kRecordWords);
        // The state this record made (undo) or gives back (redo).
        std::uint64_t generation = 0;
        if (generations.size() == history.size() / kRecordWords + 1) {
            generation = generations.back();
            generations.pop_back();
        } else {
            generations.resize(history.size() / kRecordWords, m_nextGeneration++);
        }

        CSheet temp(SHEET_WORK);
        store.GetItemTail(record.counts.data(), temp);
        const int layer = record.layer;
        const unsigned group = inProgress >= record.group ? inProgress - record.group : 0;
        CSheet* board = GetSetSheet(0, layer);

        // The mirror step goes to the other side: undo records on the redo side with the state it
        // undid; redo records on the undo side again with the state it gives back.
        auto mirror = [&](int type) {
            if (!redo) {
                m_replayGeneration = generation;
                StoreItem(true, &temp, layer, static_cast<int>(group), type);
            } else {
                m_bReplaying = true;
                m_replayGeneration = generation;
                StoreItem(false, &temp, layer, static_cast<int>(group), type);
                m_bReplaying = false;
            }
        };
        auto addBack = [&]() {
            if (!board)
                return;
            if (layer == LAYER_MAX)
                temp.ResetPartBoundRect();
            *board += temp;
            dirty |= temp.GetBoundingRect();
        };
        switch (record.type) {
        case kTypeAdded:
            mirror(kTypeDeleted);
            DeleteEqualBoardItems(temp, layer);
            break;
        case kTypeDeleted:
            mirror(kTypeAdded);
            addBack();
            break;
        case kTypeReplaced:
            mirror(kTypeReplacement);
            addBack();
            break;
        case kTypeReplacement:
            mirror(kTypeReplaced);
            if (layer == LAYER_MAX)
                temp.ResetPartBoundRect();
            dirty |= temp.GetBoundingRect();
            DeleteEqualBoardItems(temp, layer);
            break;
        default:
            break;
        }
        temp.DeleteContents();

        if (record.group != 0)
            continue;
        if (record.type == kTypeReplacement) {
            groupStarted = false;
            continue;
        }
        if ((record.type == kTypeDeleted || record.type == kTypeReplaced) && !dirty.IsRectNull()) {
            m_repaintRect = dirty;
            if (m_pHost)
                m_pHost->UpdateAllViews(1, &m_repaintRect, nullptr);
        }
        break;
    }
    history.shrink_to_fit();
    inProgress = 0;
    SetTitle(std::string());
    m_partList.clear();
}

// ---------------------------------------------------------------------------------------------
// Modified state and title

std::uint64_t CVELTADoc::CurrentGeneration() const
{
    if (m_undoHistory.size() < kRecordWords)
        return 0;
    // A history not recorded here (none so far) counts as one state of its own.
    return m_undoGenerations.size() == m_undoHistory.size() / kRecordWords ? m_undoGenerations.back()
                                                                           : ~std::uint64_t{0};
}

bool CVELTADoc::IsHistoryModified() const
{
    return CurrentGeneration() != m_savedGeneration || m_bForceModified != 0;
}

void CVELTADoc::SetModifiedFlag(bool modified)
{
    if (modified) {
        m_bForceModified = 1;
        m_bModified = true;
        return;
    }
    m_bForceModified = 0;
    m_savedGeneration = CurrentGeneration();
    m_nSavedUndoPos = static_cast<int>(m_undoHistory.size());
    m_bModified = false;
}

bool CVELTADoc::SaveModified()
{
    m_bModified = IsHistoryModified();
    if (!m_bModified)
        return true;
    return m_pHost ? m_pHost->AskSaveModified() : true;
}

void CVELTADoc::SetTitle(const std::string& text)
{
    if (m_pHost && m_pHost->IsFrameMinimised()) {
        if (!text.empty()) {
            m_strTitle = text;
            m_pHost->TitleChanged(m_strTitle);
        }
        return;
    }
    const std::string& given = text.empty() ? m_strTitle : text;
    std::string title = platform::GetProfile().GetInt("Sheet", "FullPath", 1) ? m_strPathName : given;
    if (title.empty())
        title = given;
    const std::string mark = _J(" (更新)");
    const std::string bareMark = mark.substr(1);
    if (IsHistoryModified()) {
        if (!StartsModified(title, bareMark))
            title += mark;
        m_bModified = true;
    } else {
        if (StartsModified(title, mark))
            title.erase(title.size() - mark.size());
        m_bModified = m_bForceModified != 0;
    }
    m_strTitle = title;
    if (m_pHost)
        m_pHost->TitleChanged(m_strTitle);
}
