#pragma once
// The whole program started in the test process: an in-memory profile (no shell registration, no
// project at start), a single-instance channel of its own, a folder for boards and projects.

#include "app/MainFrame.h"
#include "app/VELTAApp.h"
#include "document/VELTADoc.h"
#include "libui/DialogBuilder.h"
#include "model/sheet/Sheet.h"
#include "platform/FilePath.h"
#include "platform/Messages.h"
#include "platform/Profile.h"
#include "tests/support/FakeDocumentHost.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace apptest {

namespace fs = std::filesystem;

inline std::string Cp(const fs::path& path)
{
    return platform::PathToCp932(path).value_or(path.string());
}

// A host that answers the new design dialog, so a board can be made and saved without windows.
class NewBoardHost : public FakeDocumentHost
{
public:
    std::optional<NewDesignChoice> RunNewDesignDialog(const std::string&, CVELTADoc*) override
    {
        return choice;
    }
    std::optional<NewDesignChoice> choice;
};

// Writes a board with a few tracks into `folder` (which gets the master settings file when it has
// none); its path.
inline fs::path MakeBoard(const fs::path& folder, const std::string& name)
{
    fs::create_directories(folder);
    const fs::path settings = folder / "velta.bpf";
    if (!fs::exists(settings))
        fs::copy_file(VELTA_BINARY_DIR "/velta.bpf", settings);
    NewBoardHost host;
    host.choice = NewDesignChoice{Cp(folder), Cp(settings), CDSize(100, 80), CDPoint(0, 0)};
    CVELTADoc doc;
    doc.SetHost(&host);
    EXPECT_TRUE(doc.OnNewDocument());
    for (int i = 0; i < 5; ++i)
        doc.GetBoardSheet(0)->NewLine(CDPoint(10, 10 + 10 * i), CDPoint(60 + 5 * i, 10 + 10 * i), 2, 0);
    const fs::path file = folder / name;
    EXPECT_TRUE(doc.OnSaveDocument(Cp(file)));
    doc.SetHost(nullptr);
    return file;
}

inline void WriteText(const fs::path& file, const std::string& text)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

class AppFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        static int counter = 0;
        root = fs::temp_directory_path() /
               ("velta-app-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
        fs::create_directories(root / "run");
        fs::create_directories(root / "data");
        for (const char* name : {"XDG_RUNTIME_DIR", "XDG_DATA_HOME"}) {
            const char* value = std::getenv(name);
            savedEnvironment.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        setenv("XDG_RUNTIME_DIR", (root / "run").c_str(), 1);
        setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
        platform::SetProfile(&profile);
        profile.SetInt("Settings", "Shell", 0);
        profile.SetInt("Sheet", "AutoLoad", 0);
        app = std::make_unique<CVELTAApp>();
    }

    void TearDown() override
    {
        if (app)
            app->ExitInstance();
        app.reset();
        QApplication::processEvents();
        platform::SetProfile(nullptr);
        // Other tests of this program see the environment they started with.
        for (const auto& [name, value] : savedEnvironment) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
        std::error_code ec;
        fs::remove_all(root, ec);
    }

    void Start(const QStringList& arguments = {})
    {
        const std::optional<int> code = app->InitInstance(arguments);
        ASSERT_FALSE(code.has_value());
        frame = app->GetMainFrame();
        ASSERT_NE(frame, nullptr);
    }

    int BoardCount() const { return static_cast<int>(frame->Children().size()); }

    fs::path root;
    std::vector<std::pair<std::string, std::optional<std::string>>> savedEnvironment;
    platform::MemoryProfile profile;
    std::unique_ptr<CVELTAApp> app;
    CMainFrame* frame = nullptr;
};

// The program with recorded message boxes, for tests that run menu commands and their dialogs.
class AppCommandFixture : public AppFixture
{
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        platform::SetMessageService(&messages);
    }
    void TearDown() override
    {
        AppFixture::TearDown();
        platform::SetMessageService(nullptr);
    }
    // Runs steps on the modal dialog the next command opens (closed afterwards when the steps
    // left it open); `opened` tells whether one opened.
    void OnDialog(std::function<void(QDialog*)> steps)
    {
        opened = false;
        QTimer::singleShot(0, [this, steps] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                opened = true;
                steps(dialog);
                if (dialog->isVisible())
                    dialog->reject();
            }
        });
    }
    // Whether the frame enables the command now.
    bool Enabled(int id) { return frame->UpdateCommand(id, frame->Action(id)); }
    // A new board of that name (kept in `board`) opened in the frame; its document, or null.
    CVELTADoc* OpenBoardFile(const std::string& name)
    {
        board = MakeBoard(root / "boards", name);
        if (!app->OpenDocumentFile(Cp(board)))
            return nullptr;
        QApplication::processEvents();
        return frame->ActiveDocument();
    }
    // A mouse click on a dialog's button.
    static void Click(QDialog* d, int id)
    {
        auto* button = FindControl<QAbstractButton>(d, id);
        ASSERT_NE(button, nullptr) << id;
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(8, button->height() / 2));
    }

    platform::RecordingMessages messages;
    bool opened = false;
    fs::path board;
};

} // namespace apptest
