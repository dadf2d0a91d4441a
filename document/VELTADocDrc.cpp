// The design rule check: the copper connectivity rebuilt from scratch, the placed parts'
// terminals turned into connectivity nets, the check reports, copper clearance per wiring layer
// and part clearance per board side, markers on output layers, and the counts in one message.

#include "document/VELTADoc.h"

#include "document/BoardFileSupport.h"
#include "document/DocumentHost.h"
#include "document/DrcSupportRun.h"
#include "document/FrameHelpers.h"
#include "document/WaitCursor.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Part.h"
#include "model/items/Ter.h"
#include "model/items/Via.h"
#include "model/net/Net.h"
#include "model/sheet/TerminalLinks.h"
#include "platform/Fixed.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"

#include <algorithm>
#include <memory>
#include <unordered_map>

namespace {

constexpr unsigned kDrcCommand = 32940;
// Part-layer records whose layers hold the part outlines the part clearance is measured on.
constexpr int kOutlineRecords[] = {PL_DIPOUTLINE, PL_SMDOUTLINE};

// Items merged into such a sheet join its copper groups: they are copied in, not moved.
bool MergesWithConnectivity(const CSheet& sheet)
{
    return (sheet.GetSheetType() == SHEET_BOARD && sheet.GetWLayer() != 0) ||
           sheet.GetSheetType() == SHEET_BOARD_VIAPART;
}

// Every terminal of the parts takes the new id of the group holding its display net id.
void RenumberTerminals(const std::vector<CPart*>& parts, const std::vector<std::uint32_t>& groups)
{
    // Merged groups share no value, so one look-up per terminal gives what a walk of the groups
    // would.
    std::unordered_map<std::uint32_t, std::uint32_t> renamed;
    for (std::size_t i = 0; i < groups.size();) {
        const std::uint32_t first = groups[i++];
        if (first == 0)
            continue;
        for (; i < groups.size() && groups[i] != 0; ++i)
            renamed.emplace(groups[i], first);
        ++i;
    }
    for (CPart* part : parts) {
        for (POSITION pos = part->GetFirstTerPos(); pos;) {
            CTer* ter = part->GetNextTer(pos);
            const auto found = renamed.find(ter->GetDisNetID());
            if (found != renamed.end())
                ter->SetDisNetID(found->second);
        }
    }
}

} // namespace

DrcChoice CVELTADoc::ReadDrcChoice()
{
    tagDRCSET stored;
    ReadDrcCheck(stored);
    DrcChoice choice;
    choice.copperMode = stored.mode;
    choice.layerText = stored.modeText;
    if (stored.mode == 1)
        choice.layers.fill(1);
    choice.copperClearance = stored.size;
    choice.perLayer = stored.output ? 1 : 0;
    choice.errorLayer = stored.outputLayer;
    choice.partClearance = stored.arc;
    choice.componentSide = stored.arcFlag1 ? 1 : 0;
    choice.solderSide = stored.arcFlag2 ? 1 : 0;
    choice.pinCount = stored.pinCount ? 1 : 0;
    const platform::Profile& profile = platform::GetProfile();
    choice.viewFiles = profile.GetInt("Tool", "DRCView", 1);
    choice.showLayers = profile.GetInt("Tool", "DRCLayer", 1);
    choice.netFormat = profile.GetInt("Tool", "NetType", 0);
    if (IsNetsOn() && m_pHost && !m_strPathName.empty()) {
        const std::optional<ProjectWorkEntry> work =
            m_pHost->FindProjectWork(docfile::ToCp932(docfile::ToPath(m_strPathName).filename()));
        if (work && work->useNetList && !work->netFile.empty())
            choice.netFormat = work->netFormat;
    }
    // Per-layer output may take a layer for every wiring layer and one for each board side.
    choice.errorLayerCount = CheckedPositions() + 2;
    return choice;
}

int CVELTADoc::CheckedPositions()
{
    return std::min({GetWireLayerCount(), static_cast<int>(m_stack.wireLayers.size()), DrcChoice::kCheckLayers});
}

void CVELTADoc::OnDesignRuleCheck()
{
    BusyScope busy(*this);
    SetToolButton(kDrcCommand);
    DrcRun run;
    ReadDrcCheck(run.stored);
    run.choice = ReadDrcChoice();
    if (!m_pHost || !m_pHost->RunDrcDialog(run.choice, *this)) {
        if (IsNetsOn())
            BuildPartList(false);
        return;
    }
    const DrcChoice& choice = run.choice;
    m_pHost->SaveProjectBoards();
    BuildPartList(true);
    SortPartsByRef();
    run.stored.mode = choice.copperMode;
    run.stored.modeText = choice.copperMode == 2 ? choice.layerText : std::string();
    run.stored.size = choice.copperClearance;
    run.stored.output = choice.perLayer != 0;
    run.stored.outputLayer = choice.errorLayer;
    run.stored.arc = choice.partClearance;
    run.stored.arcFlag1 = choice.componentSide != 0;
    run.stored.arcFlag2 = choice.solderSide != 0;
    run.stored.pinCount = choice.pinCount != 0;
    WriteDrcCheck(run.stored);

    std::vector<std::uint32_t> groups;
    {
        WaitCursor wait(m_pHost);
        RebuildConnectivity(groups);
        MakeConnectivityNets(run);
    }
    WriteDrcReports(run);

    const bool sides = choice.componentSide || choice.solderSide;
    if (choice.copperMode != 0 || sides) {
        WaitCursor wait(m_pHost);
        run.PlanOutputLayers(CheckedPositions());
        bool occupied = false;
        for (int layer : run.outputLayers)
            occupied = occupied || !GetBoardSheet(layer)->IsEmpty();
        if (occupied) {
            const int answer = AfxMessageBox(_J("出力先のレイヤにはデータがあります。先に削除しますか？"),
                                             MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2);
            run.marking = answer != IDCANCEL;
            run.emptyFirst = answer == IDYES;
        }
        run.output = choice.errorLayer;
        if (choice.copperMode != 0)
            CheckCopperClearance(run, groups);
        if (choice.componentSide)
            CheckPartClearance(run, false);
        if (choice.solderSide)
            CheckPartClearance(run, true);

        std::string message;
        if (choice.copperMode != 0)
            message += run.copperErrors
                           ? platform::Format(_J("箔間距離(%Gmm) エラー個所 %d\n").c_str(), choice.copperClearance,
                                              run.copperErrors)
                           : platform::Format(_J("箔間距離(%Gmm) チェックＯＫ\n").c_str(), choice.copperClearance);
        if (sides)
            message += run.partErrors
                           ? platform::Format(_J("部品間距離(%Gmm) エラー個所 %d").c_str(), choice.partClearance,
                                              run.partErrors)
                           : platform::Format(_J("部品間距離(%Gmm) チェックＯＫ").c_str(), choice.partClearance);
        const bool errors = run.copperErrors != 0 || run.partErrors != 0;
        if (errors)
            BuildLayerLists();
        AfxMessageBox(message, MB_OK | (errors ? MB_ICONEXCLAMATION : MB_ICONINFORMATION));
        const bool shown = std::any_of(run.outputLayers.begin(), run.outputLayers.end(),
                                       [this](int layer) { return GetLayer(layer).display != 0; });
        if (!run.changed.IsRectNull() && shown)
            m_pHost->UpdateAllViews(1, &run.changed, nullptr);
    }

    // The connectivity nets go; the terminals keep their ids until the next connectivity change.
    run.nets.clear();
    for (CPart* part : m_partList)
        part->ReCalcTerID(this);
    if (IsNetsOn())
        BuildPartList(false);
}

void CVELTADoc::RebuildConnectivity(std::vector<std::uint32_t>& groups)
{
    const std::vector<std::uint8_t> wiring = m_stack.wireLayers;
    for (CPart* part : m_partList) {
        for (POSITION pos = part->GetFirstViaPos(); pos;)
            part->GetNextVia(pos)->ResetLayerID();
        for (POSITION pos = part->GetFirstHolePos(); pos;)
            part->GetNextHole(pos)->ResetAllWire();
        for (POSITION pos = part->GetFirstTerPos(); pos;) {
            CTer* ter = part->GetNextTer(pos);
            ter->SetDisNetID(0);
            ter->SetNetCondition(0);
        }
    }
    for (std::uint8_t layer : wiring)
        GetBoardSheet(layer)->ResetNetID();
    for (int index = 0; CSheet* holes = GetHoleSheet(index); ++index)
        holes->ResetNetID();
    m_viaPartSheet.ResetNetID();
    for (std::uint8_t layer : wiring) {
        CSheet* sheet = GetBoardSheet(layer);
        sheet->MakeGroup();
        sheet->CorrectID2NetLine();
    }

    // Vias that joined no copper still need ids of their own, above every id given.
    std::uint32_t largest = 0;
    for (POSITION pos = m_viaPartSheet.GetFirstViaPos(); pos;)
        largest = std::max(largest, m_viaPartSheet.GetNextVia(pos)->GetID());
    std::uint32_t next = largest;
    for (POSITION pos = m_viaPartSheet.GetFirstViaPos(); pos;) {
        CVia* via = m_viaPartSheet.GetNextVia(pos);
        if (via->GetID() == 0) {
            next += 256;
            via->SetID(next);
        }
    }

    const int count = GetWireLayerCount();
    if (wiring.size() > 1) {
        // Each via checked against the table in turn; the table starts empty.
        drc::ViaRuns runs;
        for (POSITION pos = m_viaPartSheet.GetFirstViaPos(); pos;)
            runs.Add(*m_viaPartSheet.GetNextVia(pos), count);
        for (CPart* part : m_partList)
            for (POSITION pos = part->GetFirstViaPos(); pos;)
                runs.Add(*part->GetNextVia(pos), count);
        groups.clear();
        runs.AppendTo(groups);
    }
    drc::MergeGroups(groups);
    for (CPart* part : m_partList)
        m_viaPartSheet.SetNextNetID(part);
    // Layer by layer rather than part by part: a terminal still meets the layers in list order,
    // and the table, once merged, holds the same groups.
    for (std::uint8_t layer : wiring) {
        CSheet& sheet = *GetBoardSheet(layer);
        if (!sheet.IsNega()) {
            LinkPartTerminals(sheet, m_partList, &groups);
            continue;
        }
        const NearGroupsScope near(sheet);
        for (CPart* part : m_partList)
            sheet.SetTerNetID(part, &groups);
    }
    for (std::uint8_t layer : wiring)
        if (GetBoardSheet(layer)->IsNega())
            LinkPartTerminals(*GetBoardSheet(layer), m_partList, &groups);
    drc::MergeGroups(groups);
    RenumberTerminals(m_partList, groups);
    drc::MergeGroups(groups);
}

void CVELTADoc::MakeConnectivityNets(DrcRun& run)
{
    std::unordered_map<std::uint32_t, CNet*> byId;
    for (CPart* part : m_partList) {
        for (POSITION pos = part->GetFirstTerPos(); pos;) {
            CTer* ter = part->GetNextTer(pos);
            const std::uint32_t id = ter->GetDisNetID();
            if (id == 0)
                continue;
            ter->SetNetCondition(TER_NET_ON);
            if (ter->IsVirtualTer())
                continue;
            CNet*& net = byId[id];
            if (!net) {
                run.nets.push_back(std::make_unique<CNet>());
                net = run.nets.back().get();
                net->SetID(id);
            }
            net->AddTailPartTer(ter);
        }
    }
    int number = 0;
    for (const auto& net : run.nets)
        net->SetNetName(net->CheckNet() ? platform::Format("NET%06d", ++number) : std::string("OPENNET"));
    run.netList.clear();
    for (const auto& net : run.nets)
        run.netList.push_back(net.get());
}

void CVELTADoc::PutDrcMarks(DrcRun& run, CSheet& marks, int layer, bool emptyWhenClean)
{
    CSheet* sheet = GetBoardSheet(layer);
    const bool made = !marks.IsEmpty();
    if (!sheet || (!made && !emptyWhenClean))
        return;
    // A layer is emptied once, when the run first comes to it, so no mark of this run is lost.
    const bool empty = run.emptyFirst && run.emptied.insert(layer).second && !sheet->IsEmpty();
    if (empty && made) {
        StoreUndoItem(sheet, layer, 0, 3);
        run.changed |= sheet->DeleteContents();
        StoreUndoItem(&marks, layer, 0, 5);
    } else if (empty) {
        StoreUndoItem(sheet, layer, 0, 2);
        run.changed |= sheet->DeleteContents();
    } else if (made) {
        StoreUndoItem(&marks, layer, 0, 1);
    }
    if (!made)
        return;
    run.changed |= marks.GetBoundingRect();
    // The undo store has its copy: the marks themselves go to the layer.
    sheet->TakeItems(marks);
    if (run.choice.viewFiles) {
        tagLAYER record = GetLayer(layer);
        record.display = 1;
        ApplyLayerRecord(layer, record);
    }
}

void CVELTADoc::PutDrcPointMarks(DrcRun& run, const std::vector<std::uint32_t>& points, int layer)
{
    // The lands, the undo record and the repaint area are those of marking a scratch sheet, storing
    // it for undo and moving its items to the layer; but each land is made straight where it is
    // kept, from one marker, instead of being made, copied from and moved (a run may leave
    // millions).
    CSheet* sheet = GetBoardSheet(layer);
    const bool empty = run.emptyFirst && run.emptied.insert(layer).second && !sheet->IsEmpty();
    if (empty) {
        StoreUndoItem(sheet, layer, 0, 3);
        run.changed |= sheet->DeleteContents();
    }
    // The scratch sheet's land: the marker's copy, measured while on no board.
    CLand marker(CDPoint(0.0, 0.0), run.stored.outputAperture);
    const std::size_t count = points.size() / 2;
    auto place = [&](std::size_t k) {
        const auto coordinate = [](std::uint32_t word) {
            return platform::FixedToDouble(platform::LongToFixed(static_cast<std::int32_t>(word)));
        };
        marker.SetPoint(CDPoint(coordinate(points[2 * k]), coordinate(points[2 * k + 1])));
        return marker.GetBoundingRect();
    };
    CDRect bounds;
    StoreUndoItems(marker, count, [&](std::size_t k) { bounds |= place(k); }, layer, 0, empty ? 5 : 1);
    run.changed |= bounds;
    for (std::size_t k = 0; k < count; ++k) {
        place(k);
        sheet->StoreItem(std::make_unique<CLand>(marker));
    }
    if (run.choice.viewFiles) {
        tagLAYER record = GetLayer(layer);
        record.display = 1;
        ApplyLayerRecord(layer, record);
    }
}

void CVELTADoc::CheckCopperClearance(DrcRun& run, const std::vector<std::uint32_t>& groups)
{
    tagDRCSPEC rules;
    rules.planeMode = run.stored.nega;
    const double clearance = run.choice.copperClearance;
    rules.holeToHole = rules.plainClearance = rules.netClearance = clearance;
    rules.spare = rules.holeMargin = rules.partClearance = clearance;
    const int count = CheckedPositions();
    for (int position = 1; position <= count; ++position) {
        if (!run.choice.layers[static_cast<std::size_t>(position - 1)])
            continue;
        std::vector<std::uint32_t> layerGroups;
        FilterGroupsByLowByte(static_cast<std::uint8_t>(position), groups, layerGroups);
        rules.errorPoints.clear();
        GetBoardSheet(m_stack.wireLayers[static_cast<std::size_t>(position - 1)])->DRC_ShortCheck(&rules, &layerGroups);
        const int errors = static_cast<int>(rules.errorPoints.size() / 4);
        run.copperErrors += errors;
        if (run.marking) {
            CSheet* sheet = GetBoardSheet(run.output);
            if (errors && sheet && !MergesWithConnectivity(*sheet)) {
                PutDrcPointMarks(run, rules.errorPoints, run.output);
            } else {
                CSheet marks(SHEET_WORK);
                if (errors)
                    marks.SetMark(&rules, run.stored.outputAperture);
                PutDrcMarks(run, marks, run.output, true);
            }
        }
        rules.errorPoints.clear();
        run.NextOutput();
    }
}

void CVELTADoc::CheckPartClearance(DrcRun& run, bool solderSide)
{
    std::vector<int> layers;
    for (int index : kOutlineRecords) {
        const tagPARTLAYER record = GetPartLayer(index);
        const int layer = solderSide ? record.layerB : record.layerA;
        if (std::find(layers.begin(), layers.end(), layer) == layers.end())
            layers.push_back(layer);
    }
    layers.push_back(-1);
    std::vector<CDRect> rects;
    rects.reserve(m_partList.size());
    for (CPart* part : m_partList) {
        part->CalcARCBoundRect(layers.data());
        rects.push_back(part->GetARCBoundingRect());
    }
    const double clearance = run.choice.partClearance;
    const int markTurret = run.stored.outputAperture;
    const int outlineTurret = run.stored.arcAperture;
    CSheet lands(SHEET_WORK);
    CSheet outlineP(SHEET_WORK);
    CSheet outlineQ(SHEET_WORK);
    int lastP = -1;
    for (const auto& [p, q] : drc::FindNearPairs(rects, clearance)) {
        ++run.partErrors;
        if (!run.marking)
            continue;
        CPart* partP = m_partList[static_cast<std::size_t>(p)];
        CPart* partQ = m_partList[static_cast<std::size_t>(q)];
        const bool firstOfP = p != lastP;
        lastP = p;
        lands.NewLand(partQ->GetOrg(), markTurret);
        if (firstOfP) {
            lands.NewLand(partP->GetOrg(), markTurret);
            outlineP.DeleteContents();
            partP->GetOutLineData(layers.data(), outlineP, 0.0);
            partP->GetOutLineData(layers.data(), outlineP, clearance - 0.0001);
        }
        // Each pair is judged on Q's outline alone.
        outlineQ.DeleteContents();
        partQ->GetOutLineData(layers.data(), outlineQ, 0.0);
        if (outlineP.CheckFrameShort(&outlineQ, nullptr)) {
            if (firstOfP)
                lands.NewLand(partP->GetOrg(), outlineTurret);
            lands.NewLand(partQ->GetOrg(), outlineTurret);
        }
    }
    if (run.marking)
        PutDrcMarks(run, lands, run.output, false);
    run.NextOutput();
}
