// The board file: a text header line, the text property names, three tagged blocks (user origin,
// board size, view rectangle) and the 129 sheet records. Every table lives in the board settings
// file beside it, which the reader loads before the sheets.

#include "document/DocumentHost.h"
#include "document/ProgramFolder.h"
#include "document/VELTADoc.h"
#include "model/items/Hole.h"
#include "model/items/Part.h"
#include "model/items/Ter.h"
#include "model/items/Via.h"
#include "platform/Archive.h"
#include "platform/FilePath.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace {

constexpr std::uint32_t kMarker = 900;
constexpr std::uint32_t kTagSize = 1;
constexpr std::uint32_t kTagViewRect = 2;
constexpr std::uint32_t kTagOrigin = 3;
constexpr int kCurrentVersion = 6;
constexpr unsigned kNoticeLayerMismatch = 0x100;

// The version of a header line: the integer value of its last three characters.
int HeaderVersion(const std::string& line)
{
    const std::string last = line.size() > 3 ? line.substr(line.size() - 3) : line;
    return std::atoi(last.c_str());
}

// A sheet record that names another layer or type goes into its place all the same; the user
// hears of it once per load.
void ReportMisplacedRecord(CArchive& ar, int layer)
{
    if (!ar.FirstNotice(kNoticeLayerMismatch))
        return;
    const std::string path = platform::PathToCp932(ar.GetPath()).value_or(ar.GetPath().string());
    AfxMessageBox(platform::Format(_J("基板ファイル %s のレイヤ情報が不正です (レイヤ %d)").c_str(),
                                   path.c_str(), layer),
                  MB_ICONEXCLAMATION);
}

} // namespace

void CVELTADoc::WriteBoardFile(CArchive& ar)
{
    const int version = platform::GetProfile().GetInt("FileSave", "OldSave", 0) != 0 ? 5 : kCurrentVersion;
    ar.WriteString(platform::Format("VELTA DATA FILE Ver %03d\n", version));

    ar << kMarker << static_cast<std::uint32_t>(m_textProperties.size());
    for (const std::string& name : m_textProperties)
        ar << name;

    ar << kTagOrigin << m_userOrigin.x << m_userOrigin.y;
    ar << kTagSize << m_boardSize.cx << m_boardSize.cy;
    // The board area the first view shows, unless its frame is minimised.
    if (m_pHost)
        m_pHost->StoreVisibleRect(m_viewRect);
    ar << kTagViewRect << m_viewRect.left << m_viewRect.top << m_viewRect.right << m_viewRect.bottom;

    for (CSheet& sheet : m_boardSheets) {
        sheet.CalcBoundingRect();
        sheet.DataWrite(ar, version);
    }
    m_viaPartSheet.DataWrite(ar, version);
    ar << std::uint32_t{0};
}

bool CVELTADoc::ReadBoardFile(CArchive& ar)
{
    std::string header;
    ar.ReadString(header);
    if (header.find("VELTA") == std::string::npos)
        throw ArchiveError(ArchiveError::BadFormat, "not a board file");
    const int version = HeaderVersion(header);
    if (version > kCurrentVersion) {
        AfxMessageBox(_J("サポートしていないバージョンのデータファイルです。\n") +
                      _J("ＶＥＬＴＡをバージョンアップしてください。"));
        return false;
    }

    std::uint32_t marker = 0, count = 0;
    ar >> marker >> count;
    if (count > ar.Remaining())
        throw ArchiveError(ArchiveError::BadFormat, "board file: property count beyond the end of the data");
    // Nothing in the program uses the names read: they are dropped, and auto-save writes its
    // entry afresh.
    m_textProperties.clear();
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string name;
        ar >> name;
    }

    if (m_settingFile.GetPath().empty())
        m_settingFile.SetPath(ar.GetPath().parent_path() / "velta.bpf");
    std::error_code ec;
    if (!std::filesystem::is_regular_file(m_settingFile.GetPath(), ec)) {
        AfxMessageBox(_J("基板設計ファイルが見つかりません。"));
        m_settingFile.SetPath(GetProgramFolder() / "velta.bpf");
        return false;
    }

    LoadSettings();

    // Size and origin come from the settings file; the file's copies are read and not used.
    for (;;) {
        std::uint32_t tag = 0;
        ar >> tag;
        if (tag == kTagSize || tag == kTagOrigin) {
            double unused[2];
            ar >> unused[0] >> unused[1];
        } else if (tag == kTagViewRect) {
            ar >> m_viewRect.left >> m_viewRect.top >> m_viewRect.right >> m_viewRect.bottom;
            break;
        }
    }
    const double width = m_boardSize.cx, height = m_boardSize.cy;
    const bool finite = std::isfinite(m_viewRect.left) && std::isfinite(m_viewRect.top) &&
                        std::isfinite(m_viewRect.right) && std::isfinite(m_viewRect.bottom);
    if (!finite || m_viewRect.left > width || m_viewRect.right > width || m_viewRect.top > height ||
        m_viewRect.bottom > height)
        m_viewRect = CDRect(0.0, 0.0, width, height);

    for (int layer = 0; layer < LAYER_MAX; ++layer) {
        CSheet& sheet = m_boardSheets[static_cast<std::size_t>(layer)];
        if (!sheet.DataRead(ar, version))
            ReportMisplacedRecord(ar, layer);
        sheet.CleanNullItem();
    }

    // The terminal links of the via and part sheet are collected while it is read.
    ar.SideBuffer().clear();
    if (!m_viaPartSheet.DataRead(ar, version))
        ReportMisplacedRecord(ar, LAYER_MAX);
    m_viaPartSheet.CleanNullItem();
    m_viaPartSheet.CleanDupItem();

    const int wireCount = m_stack.wireCount;
    if (version < kCurrentVersion) {
        for (int pos = 1; pos <= wireCount; ++pos)
            if (CSheet* sheet = GetBoardSheet(m_stack.WireLayer(pos)); sheet && sheet != &m_viaPartSheet)
                sheet->ResetNetID();
        m_viaPartSheet.ResetNetID();
        m_partList.clear();
    } else {
        bool mismatch = false;
        for (int pos = 1; pos <= wireCount && !mismatch; ++pos) {
            CSheet* sheet = GetBoardSheet(m_stack.WireLayer(pos));
            if (sheet && sheet != &m_viaPartSheet &&
                sheet->GetWLayerFromID() != static_cast<std::uint32_t>(pos))
                mismatch = true;
        }
        if (mismatch) {
            // The ids no longer match the wiring positions: vias and holes are renumbered with the
            // copper groups.
            for (POSITION pos = m_viaPartSheet.GetFirstViaPos(); pos;) {
                CVia* via = m_viaPartSheet.GetNextVia(pos);
                via->SetID(0);
                via->ResetLayerID();
            }
            for (int index = 0;; ++index) {
                CSheet* holes = GetHoleSheet(index);
                if (!holes)
                    break;
                for (POSITION pos = holes->GetFirstHolePos(); pos;) {
                    CHole* hole = holes->GetNextHole(pos);
                    hole->ResetAllWire();
                    hole->SetID(0);
                }
            }
            m_partList.clear();
        }
        for (int pos = 1; pos <= wireCount; ++pos) {
            CSheet* sheet = GetBoardSheet(m_stack.WireLayer(pos));
            if (!sheet || sheet == &m_viaPartSheet)
                continue;
            sheet->CorrectID2NetLine();
            sheet->GerbageNetLine();
        }
        if (!ar.SideBuffer().empty()) {
            std::unique_ptr<CArchive> side = ar.OpenSideBuffer();
            side->SetDocument(this);
            try {
                for (POSITION pos = m_viaPartSheet.GetFirstPartPos(); pos;)
                    m_viaPartSheet.GetNextPart(pos)->SetTerNetLine(*side);
            } catch (const ArchiveError&) {
                // Links that cannot be read leave the terminals without them, as a lost side file did.
            }
        }
    }
    ar.SideBuffer().clear();
    ar.SideBuffer().shrink_to_fit();

    std::uint32_t endMarker = 0;
    ar >> endMarker;

    for (POSITION pos = m_viaPartSheet.GetFirstPartPos(); pos;) {
        CPart* part = m_viaPartSheet.GetNextPart(pos);
        for (POSITION t = part->GetFirstTerPos(); t;)
            part->GetNextTer(t)->ModifyType(2, 0);
    }
    return true;
}
