#pragma once
// A saved two-layer board with a hole layer for the CAM output tests: turrets of every shape, the
// standard output codes, and the files the output writes in the board's folder.

#include "cam/CamOutput.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "platform/Archive.h"
#include "tests/document/EditFixture.h"
#include "tests/support/GerberOutput.h"

#include <filesystem>
#include <string>

class CamOutputFixture : public EditFixture
{
protected:
    static constexpr int kHoleLayer = 2;
    // Turrets: 1 circle 1.0, 2 circle 0.2 (lines), 3 circle 1.6, 4 square 1.2, 5 donut 2.0/1.0,
    // 6 thermal 2.0/1.2, 7 donut 1.5/0.
    static constexpr int kSquare = 4;
    static constexpr int kDonut = 5;
    static constexpr int kThermal = 6;
    static constexpr int kBareDonut = 7;

    void SetUp() override
    {
        EditFixture::SetUp();
        doc->Turret(kSquare) = tagTURRET{1, 1.2, 0.0};
        doc->Turret(kDonut) = tagTURRET{2, 2.0, 1.0};
        doc->Turret(kThermal) = tagTURRET{3, 2.0, 1.2};
        doc->Turret(kBareDonut) = tagTURRET{2, 1.5, 0.0};
        doc->GetBoardSheet(0)->SetWLayer(1);
        doc->GetBoardSheet(1)->SetWLayer(2);
        doc->GetBoardSheet(kHoleLayer)->ModifyType(0x10000, 0);
        doc->SetPathName(BoardFolder() + "/board.vbd");
        doc->SetUserOrigin(CDPoint(0.0, 0.0));
        // The program's report template, installed beside it as the program installs it.
        std::filesystem::copy_file(std::filesystem::path(VELTA_SOURCE_DIR) / "resources" / "VTHTML.dat",
                                   Master().parent_path() / "VTHTML.dat",
                                   std::filesystem::copy_options::overwrite_existing);
    }

    std::string BoardFolder() const { return Board().parent_path().string(); }
    std::filesystem::path InBoard(const std::string& name) const { return Board().parent_path() / name; }

    CLand* Land(int layer, CDPoint at, int turret) { return doc->GetBoardSheet(layer)->NewLand(at, turret); }
    CHole* Hole(CDPoint at, double dia, int shape = 0, double width = 0.0, double angle = 0.0)
    {
        CHole hole(at, dia, shape == 0, width, 0.0, angle);
        hole.ModifyType(shape, HOLE_SHAPE_MASK);
        return doc->GetBoardSheet(kHoleLayer)->NewHole(hole);
    }

    // The standard codes, absolute millimetres with three decimals, blocks ended by '*'.
    static tagGERBAR Record(bool photo)
    {
        tagGERBAR g = testing_support::GerberOutput().g;
        g.scale = 1.0;
        g.photo = photo ? 1 : 0;
        g.extended = photo ? 1 : 0;
        g.endCode = "M02";
        g.toolDigits = 2;
        return g;
    }

    // A choice with one entry per kind: photo "1:top:top.gbr:1", drill "1:drill:board.drl:3".
    CamOutChoice Choice() const
    {
        CamOutChoice choice;
        choice.boardFolder = BoardFolder();
        choice.records = {Record(true), Record(false)};
        choice.settings.photo.number = 3;
        choice.settings.drill.number = 3;
        choice.settings.photo.outputs = {"1:top           : top.gbr      :1"};
        choice.settings.drill.outputs = {"1:drill         : board.drl    :3"};
        return choice;
    }

    std::string Written(const std::string& name) const { return ReadFile(InBoard(name)); }
};
