#pragma once
// Checks for the TrueType faces that tests of TrueType texts depend on.

#include "model/text/TrueTypeFont.h"

#include <gtest/gtest.h>

namespace testing_support {

// The face a text without its own font gets, and the family the numbers of those tests need. Call
// under ASSERT_NO_FATAL_FAILURE.
inline void RequireArial()
{
    LOGFONTA lf;
    lf.SetFaceName("Arial");
    lf.lfHeight = -200;
    const CTrueTypeFont font(lf);
    ASSERT_TRUE(font.IsValid()) << "no TrueType face for Arial; install fonts-liberation2";
    ASSERT_EQ(font.GetFamilyName(), "Liberation Sans") << "install fonts-liberation2";
}

} // namespace testing_support
