#pragma once
// A board document with a host that records what open, save and auto-save ask of the windows,
// the installed master beside the program, a board folder holding a copy of it, an in-memory
// profile and a fixed clock.

#include "document/DocumentHost.h"
#include "document/VELTADoc.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/FilePath.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"
#include "tests/document/SettingsFixture.h"
#include "tests/support/FakeDocumentHost.h"

#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

class FileHost : public FakeDocumentHost
{
public:
    void SetCurrentDocument(CVELTADoc* doc) override { currentDocument = doc; }
    std::optional<NewDesignChoice> RunNewDesignDialog(const std::string& folder, CVELTADoc*) override
    {
        newDesignFolders.push_back(folder);
        return newDesign;
    }
    int RunSettingFileDialog(const std::string& folder, const std::vector<std::string>& names,
                             CVELTADoc*) override
    {
        settingDialogFolder = folder;
        settingDialogNames = names;
        return settingChoice;
    }
    std::optional<std::string> RunSaveAsDialog(const std::string& proposed) override
    {
        saveAsProposals.push_back(proposed);
        return saveAs;
    }
    void BeginWaitCursor() override { ++waitDepth, ++waitCursors; }
    void EndWaitCursor() override { --waitDepth; }
    void SetStatusPaneText(int pane, const std::string& text) override { panes.emplace_back(pane, text); }
    bool IsAnyDocumentMarked() override { return anyMarked; }
    void MarkActiveDocument(bool clearAll) override { marksCleared += clearAll ? 1 : 0; }
    bool TakeAutoSaveFlag() override
    {
        const bool flag = autoSaveFlag;
        autoSaveFlag = false;
        return flag;
    }
    void SendMainFrameMessage(unsigned message, unsigned wParam, long) override
    {
        messages.emplace_back(message, wParam);
    }
    bool IsProjectOpen() override { return project.has_value(); }
    std::optional<ProjectWorkEntry> FindProjectWork(const std::string& name) override
    {
        if (project && platform::MbsICmp(project->boardFile, name) == 0)
            return project;
        return std::nullopt;
    }
    void AddToRecentFileList(const std::string& path) override { recent.push_back(path); }
    void RemoveProjectDocument(const std::string& path) override { removedFromProject.push_back(path); }
    void ClearActiveDocument(CVELTADoc* doc) override { clearedActive = doc; }
    bool StoreVisibleRect(CDRect& rect) override
    {
        if (!visibleRect)
            return false;
        rect = *visibleRect;
        return true;
    }
    void EndCommand() override { ++endCommands; }

    CVELTADoc* currentDocument = nullptr;
    std::optional<NewDesignChoice> newDesign;
    std::vector<std::string> newDesignFolders;
    int settingChoice = -1;
    std::string settingDialogFolder;
    std::vector<std::string> settingDialogNames;
    std::optional<std::string> saveAs;
    std::vector<std::string> saveAsProposals;
    int waitDepth = 0;
    int waitCursors = 0;
    std::vector<std::pair<int, std::string>> panes;
    bool anyMarked = false;
    int marksCleared = 0;
    bool autoSaveFlag = false;
    std::vector<std::pair<unsigned, unsigned>> messages;
    std::optional<ProjectWorkEntry> project;
    std::vector<std::string> recent;
    std::vector<std::string> removedFromProject;
    CVELTADoc* clearedActive = nullptr;
    std::optional<CDRect> visibleRect;
    int endCommands = 0;
};

class BoardFileFixture : public SettingsFixture
{
protected:
    void SetUp() override
    {
        SettingsFixture::SetUp();
        platform::SetProfile(&profile);
        platform::SetClock(&clock);
        InstallMaster();
        std::filesystem::copy_file(Master(), Board());
        doc = NewDoc();
    }
    void TearDown() override
    {
        doc.reset();
        platform::SetClock(nullptr);
        platform::SetProfile(nullptr);
        // Files the tests made read-only go with the folder.
        std::error_code ec;
        for (auto it = std::filesystem::recursive_directory_iterator(Root(), ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
            ::chmod(it->path().c_str(), 0755);
        SettingsFixture::TearDown();
    }

    std::unique_ptr<CVELTADoc> NewDoc()
    {
        auto d = std::make_unique<CVELTADoc>();
        d->SetHost(&host);
        return d;
    }
    // A document set up as a new board on the board folder's settings file.
    std::unique_ptr<CVELTADoc> NewBoard()
    {
        auto d = NewDoc();
        d->GetSettingFile().SetPath(Board());
        d->LoadSettings();
        return d;
    }
    std::filesystem::path Root() const { return Board().parent_path().parent_path(); }
    std::filesystem::path BoardFolder() const { return Board().parent_path(); }
    static std::string Cp(const std::filesystem::path& p)
    {
        return platform::PathToCp932(p).value_or(p.string());
    }

    // A few items on the two wiring layers and the via and part sheet.
    static void AddItems(CVELTADoc& d)
    {
        d.GetBoardSheet(0)->NewLine(CDPoint(10, 10), CDPoint(20, 10), 2, 0);
        d.GetBoardSheet(0)->NewLand(CDPoint(30, 30), 6);
        d.GetBoardSheet(1)->NewLine(CDPoint(10, 20), CDPoint(20, 25), 3, 0);
        d.GetBoardSheet(1)->NewText(CText("ABC", CDPoint(40, 40), 0));
        d.GetBoardSheet(LAYER_MAX)->NewVia(CDPoint(50, 50), 1, 0);
        CPart part(CDPoint(60, 60), CDRect(59, 59, 63, 61), 1, 0, 0.0, 0);
        part.SetRefName("R1");
        part.NewLand(CDPoint(60, 60), 6)->SetLayerNo(0);
        part.NewTer(CDPoint(60, 60), CText("1", CDPoint(60, 60), 0))->SetLayerNo(0);
        d.GetBoardSheet(LAYER_MAX)->NewPart(part);
    }

    platform::MemoryProfile profile;
    platform::FixedClock clock{1700000000};
    FileHost host;
    std::unique_ptr<CVELTADoc> doc;
};
