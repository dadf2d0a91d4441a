#include "app/PrintDialogAdapter.h"

#include "dialogs/DlgPrint.h"

// The settings' A line holds the offsets x and y, B the scale, the print mode, a value this dialog
// keeps, mirror and grid, C colour printing and the grey for white.

void CPrintDialogAdapter::Fill(CDlgPrint& dialog, const tagPRINTSET& settings, bool preview)
{
    dialog.m_bPreview = preview ? 1 : 0;
    dialog.m_printList = settings.layers;
    dialog.m_nMode = settings.b[0] != 0 ? 1 : 0;
    dialog.m_nPaper = settings.paperIndex;
    dialog.m_nPaperCode = settings.paperCode;
    dialog.m_nOrientation = settings.portrait ? 1 : 0;
    dialog.m_nHorizontal = settings.a[0];
    dialog.m_nVertical = settings.a[1];
    dialog.m_dScale = settings.scale;
    dialog.m_bMirror = settings.b[2] != 0;
    dialog.m_bGrid = settings.b[3] != 0;
    dialog.m_bColor = settings.c[0] != 0;
    dialog.m_nGrey = settings.c[1] >= 0 && settings.c[1] <= 255 ? settings.c[1] : 128;
}

void CPrintDialogAdapter::Take(CDlgPrint& dialog, tagPRINTSET& settings, ViewPrintChoice& choice)
{
    settings.layers = dialog.m_printList;
    settings.b[0] = dialog.m_nMode;
    // The combo lists the eight papers; the printer's default stays when the settings name it.
    if (dialog.m_nPaper >= 0 && dialog.m_nPaper < CDlgPrint::kPapersListed)
        settings.paperIndex = dialog.m_nPaper;
    settings.paperCode = CDlgPrint::GetPaperCode(settings.paperIndex);
    settings.portrait = dialog.m_nOrientation != 0;
    settings.a = {dialog.m_nHorizontal, dialog.m_nVertical};
    settings.scale = dialog.m_dScale;
    settings.b[2] = dialog.m_bMirror;
    settings.b[3] = dialog.m_bGrid;
    settings.c = {dialog.m_bColor, dialog.m_nGrey};

    choice.portrait = settings.portrait;
    choice.paperCode = settings.paperCode;
    choice.pageCount = dialog.GetPageCount();
    choice.pageLayers.clear();
    if (dialog.m_nMode != 0) {
        for (int page = 1; page <= choice.pageCount; ++page) {
            std::vector<int> layers;
            dialog.GetPageLayers(page, layers);
            if (!layers.empty() && layers.back() == -1)
                layers.pop_back();
            choice.pageLayers.push_back(layers);
        }
    }
}

bool CPrintDialogAdapter::Run(tagPRINTSET& settings, bool preview, ViewPrintChoice& choice)
{
    CDlgPrint dialog(m_pParent);
    Fill(dialog, settings, preview);
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    Take(dialog, settings, choice);
    return true;
}
