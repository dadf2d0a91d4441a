#pragma once
// The input machine without a window: a board document on the master settings with a 1 mm grid,
// the first wiring layer current, and a fake view.

#include "app/BoardInput.h"
#include "document/VELTADoc.h"
#include "platform/Profile.h"
#include "tests/support/FakeViewPort.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class BoardInputFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::SetProfile(&profile);
        doc = std::make_unique<CVELTADoc>();
        doc->GetSettingFile().SetPath(std::string(VELTA_SOURCE_DIR) + "/resources/velta.bpf");
        doc->LoadSettings();
        doc->SetBoardSize(CDSize(400.0, 300.0));
        tagGRID grid;
        grid.xPitch = grid.yPitch = 1.0;
        doc->SetGrid(0, grid);
        doc->SetCurrentGrid(0);
        layer = doc->GetWireLayerList().front();
        doc->SelectLayer(layer);
        input = std::make_unique<BoardInput>(doc.get(), port);
    }
    void TearDown() override
    {
        input.reset();
        doc.reset();
        platform::SetProfile(nullptr);
    }

    platform::MemoryProfile profile;
    std::unique_ptr<CVELTADoc> doc;
    FakeViewPort port;
    std::unique_ptr<BoardInput> input;
    int layer = 0;
};
