#pragma once
// A board document whose settings file is a board file of the test (beside a master the test
// writes or the installed one).

#include "document/VELTADoc.h"
#include "tests/document/SettingsFixture.h"

#include <memory>

class DocFixture : public SettingsFixture
{
protected:
    void SetUp() override
    {
        SettingsFixture::SetUp();
        doc = std::make_unique<CVELTADoc>();
        doc->GetSettingFile().SetPath(Board());
    }
    void TearDown() override
    {
        doc.reset();
        SettingsFixture::TearDown();
    }

    // The table sections in the order a board's settings are loaded.
    void ReadTables()
    {
        doc->ReadTurretTable();
        doc->ReadViaTable();
        doc->ReadLayerTable();
        doc->ReadDispLayer();
        doc->ReadPartLayer();
        doc->ReadWireViaLayer();
        doc->ReadContourLayer();
        doc->ReadWireLayCount();
        doc->ReadCrossLayer();
        doc->BuildLayerLists();
        doc->ReadGrid();
        doc->ReadDim();
        doc->ReadTextTable();
        doc->ReadLayerPattern();
        doc->ReadDefItems();
        doc->LoadPrintSettings();
    }

    std::unique_ptr<CVELTADoc> doc;
};
