// The cached part list and the bounds of the board's parts and vias.

#include "document/VELTADoc.h"
#include "document/WaitCursor.h"
#include "model/items/Part.h"
#include "model/items/Via.h"

void CVELTADoc::BuildPartList(bool plain)
{
    m_partList.clear();
    bool allUnnamed = true; // every part listed so far has an empty reference
    for (POSITION pos = m_viaPartSheet.GetFirstPartPos(); pos;) {
        CPart* part = m_viaPartSheet.GetNextPart(pos);
        if ((part->GetType() & PART_PLACED) == 0)
            continue;
        const bool unnamed = part->GetRefName().empty();
        if (!plain && unnamed && !allUnnamed)
            continue;
        part->ResetTerDisNetID();
        m_partList.push_back(part);
        allUnnamed = allUnnamed && unnamed;
    }
    if (!plain)
        SetNetTerminals();
}

void CVELTADoc::SortPartsByRef()
{
    WaitCursor wait(m_pHost);
    // A selection sort, as the reference comparison is not a strict weak order for every input.
    const std::size_t n = m_partList.size();
    for (std::size_t i = 0; i + 1 < n; ++i) {
        std::size_t smallest = i;
        for (std::size_t j = i + 1; j < n; ++j)
            if (m_partList[j]->CompareRef(m_partList[smallest]) < 0)
                smallest = j;
        if (smallest != i)
            std::swap(m_partList[i], m_partList[smallest]);
    }
}

void CVELTADoc::ResetPartBoundRects(int set)
{
    if (set == 0 || set == 3)
        m_viaPartSheet.ResetPartBoundRect();
    if (set == 2 || set == 6 || set == 3)
        m_selViaPartSheet.ResetPartBoundRect();
    if (set == 5 || set == 3)
        m_repViaPartSheet.ResetPartBoundRect();
}

void CVELTADoc::ResetViaBounds()
{
    for (CSheet* sheet : {&m_viaPartSheet, &m_selViaPartSheet})
        for (POSITION pos = sheet->GetFirstViaPos(); pos;)
            sheet->GetNextVia(pos)->ResetBounding();
}
