// Start-up connects the model's parts explicitly and checks that every item kind is there.

#include "model/startup/Startup.h"
#include "model/items/Ter.h"
#include "model/sheet/SheetKinds.h"
#include "platform/FaceResolver.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kAllKinds[] = {KIND_LINE, KIND_LAND, KIND_PART, KIND_ARC, KIND_VIA,
                             KIND_TEXT, KIND_HOLE, KIND_SUR,  KIND_TER};

// Puts the face resolver back after a test took it away.
class ResolverRestore
{
public:
    ResolverRestore() : m_previous(platform::GetFaceResolver()) {}
    ~ResolverRestore() { platform::SetFaceResolver(m_previous); }

private:
    platform::FaceResolver m_previous;
};

TEST(StartupTest, InstallingConnectsEveryPartThatWasMissing)
{
    // Everything taken away, as in a program whose library objects were never initialised.
    std::vector<std::unique_ptr<ScopedSheetKind>> kinds;
    for (int kind : kAllKinds)
        kinds.push_back(std::make_unique<ScopedSheetKind>(kind, SheetKindOps()));
    const ScopedSheetNetHooks noSheetHooks{SheetNetHooks{}};
    const ScopedTerNetHooks noTerHooks{TerNetHooks{}};
    const ResolverRestore resolver;
    platform::SetFaceResolver(nullptr);
    ASSERT_FALSE(CheckQuarnKinds());

    std::string missing = "unchanged";
    EXPECT_TRUE(InstallQuarnHooks(&missing));
    EXPECT_EQ(missing, "");
    for (int kind : kAllKinds) {
        const SheetKindOps* ops = FindSheetKind(kind);
        ASSERT_NE(ops, nullptr) << kind;
        EXPECT_TRUE(ops->copy && ops->equal && ops->offset) << kind;
    }
    const SheetNetHooks& sheetHooks = GetSheetNetHooks();
    EXPECT_TRUE(sheetHooks.unlinkItem && sheetHooks.unlinkAll && sheetHooks.prepareMerge &&
                sheetHooks.resetItemIds);
    const TerNetHooks& terHooks = GetTerNetHooks();
    EXPECT_TRUE(terHooks.groupId && terHooks.groupHolds && terHooks.groupAdd && terHooks.groupRemove);
    EXPECT_NE(platform::GetFaceResolver(), nullptr);
}

TEST(StartupTest, CheckNamesEveryMissingKind)
{
    std::string missing;
    ASSERT_TRUE(CheckQuarnKinds(&missing));
    EXPECT_EQ(missing, "");
    {
        // An entry that cannot copy counts as missing: a sheet could not store the kind.
        SheetKindOps noCopy = *FindSheetKind(KIND_SUR);
        noCopy.copy = nullptr;
        const ScopedSheetKind surfaces(KIND_SUR, noCopy);
        const ScopedSheetKind lines(KIND_LINE, SheetKindOps());
        const ScopedSheetKind terminals(KIND_TER, SheetKindOps());
        EXPECT_FALSE(CheckQuarnKinds(&missing));
        EXPECT_EQ(missing, "line surface terminal");
        EXPECT_EQ(MissingSheetKinds(), (std::vector<int>{KIND_LINE, KIND_SUR, KIND_TER}));
    }
    EXPECT_TRUE(CheckQuarnKinds(&missing));
    EXPECT_EQ(missing, "");
}

} // namespace
