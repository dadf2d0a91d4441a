// The layer's photo-plot and drill files: the direction of the archive decides between writing
// (SheetGerberWrite.cpp) and reading (SheetGerberRead.cpp).

#include "model/cam/CamReadResult.h"
#include "model/cam/CamWriter.h"
#include "model/sheet/Sheet.h"
#include "platform/Archive.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"

void CSheet::SerializeGerbar(CArchive& ar, tagGERBAR& g)
{
    if (ar.IsStoring()) {
        if (g.photo)
            WriteGerbarPhoto(ar, g);
        else
            WriteGerbarDrill(ar, g);
        return;
    }
    CamReadResult result;
    ReadGerbar(ar, g, result);
    std::string text;
    for (const std::string& message : result.messages) {
        if (!text.empty())
            text += '\n';
        text += message;
    }
    if (!result.wellFormed) {
        if (!text.empty())
            text += '\n';
        text += platform::Format(_J("%d 行目: %s").c_str(), result.line, result.reason.c_str());
    }
    if (!text.empty())
        AfxMessageBox(text, MB_OK);
}

void CSheet::CodeConv(std::string& text, tagGERBAR g)
{
    ConvertOutputCode(text, g);
}
