#pragma once
// A recording drawing context set up as the board view maps it: 100 logical units per millimetre
// (the coordinate scale), one device unit per logical unit, y upward; a green hairline pen
// selected. Turret and via entries come from the fake document's tables, texts take their faces
// from an in-memory profile. Record() runs a drawing and checks that it left the pen, brush,
// raster operation and path as it found them.

#include "model/geometry/DPoint.h"
#include "platform/Profile.h"
#include "platform/RecordingDrawContext.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

class ItemDrawFixture : public ::testing::Test
{
protected:
    using Kind = platform::RecordingDrawContext::Kind;

    ItemDrawFixture() : frame(&doc)
    {
        platform::SetProfile(&profile);
        m_scale = CDPoint::GetScale();
        CDPoint::SetScale(100);
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(CSize(1, 1));
        dc.SetViewportExt(CSize(1, -1));
        dc.SelectPen(kPen);
        dc.ClearCalls();
    }
    ~ItemDrawFixture() override
    {
        CDPoint::SetScale(m_scale);
        platform::SetProfile(nullptr);
    }

    // The calls that draw() makes, one a line.
    template <class Draw> std::string Record(Draw&& draw)
    {
        dc.ClearCalls();
        std::forward<Draw>(draw)();
        ExpectRestored();
        return dc.Dump();
    }
    void ExpectRestored()
    {
        EXPECT_EQ(dc.GetPen(), kPen);
        EXPECT_EQ(dc.GetBrush(), platform::StockBrush(WHITE_BRUSH));
        EXPECT_EQ(dc.GetROP2(), R2_COPYPEN);
        EXPECT_FALSE(dc.InPath());
    }

    static constexpr platform::Pen kPen{PS_SOLID, 0, RGB(0, 128, 0)};
    static constexpr const char* kNullBrush = "SelectBrush(style=1, RGB(0,0,0))\n";
    static constexpr const char* kWhiteBrush = "SelectBrush(style=0, RGB(255,255,255))\n";

    FakeDocument doc;
    FakeFrameServices frame;
    platform::MemoryProfile profile;
    platform::RecordingDrawContext dc;

private:
    int m_scale = 0;
};
