#include "model/startup/Startup.h"

#include "platform/Messages.h"

bool InitQuarn(const std::filesystem::path& fontFile)
{
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
