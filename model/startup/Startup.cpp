#include "model/startup/Startup.h"

#include "model/items/Ter.h"
#include "model/sheet/SheetKinds.h"
#include "model/text/TrueTypeFaces.h"
#include "platform/Messages.h"

bool InstallQuarnHooks(std::string* missing)
{
    RegisterSheetKinds();
    InstallSheetNetHooks();
    InstallTerNetHooks();
    InstallTrueTypeFaceResolver();
    return CheckQuarnKinds(missing);
}

bool CheckQuarnKinds(std::string* missing)
{
    static constexpr const char* kNames[SHEET_KIND_COUNT] = {"line", "land", "part",    "arc",     "via",
                                                             "text", "hole", "surface", "terminal"};
    const std::vector<int> kinds = MissingSheetKinds();
    if (missing) {
        missing->clear();
        for (int kind : kinds) {
            if (!missing->empty())
                *missing += ' ';
            *missing += kNames[SheetKindIndex(kind)];
        }
    }
    return kinds.empty();
}

bool InitQuarn(const std::filesystem::path& fontFile)
{
    std::string missing;
    if (!InstallQuarnHooks(&missing)) {
        AfxMessageBox("Item kinds not registered: " + missing, MB_OK);
        return false;
    }
    if (GetStrokeFontFile().Open(fontFile))
        return true;
    AfxMessageBox("Font file open error !", MB_OK);
    return false;
}

void TermQuarn()
{
    GetStrokeFontFile().Close();
}

StrokeFontFile& GetStrokeFontFile()
{
    static StrokeFontFile file;
    return file;
}

bool GetStrokeData(unsigned code, std::string& strokes)
{
    return GetStrokeFontFile().GetStrokeData(code, strokes);
}
