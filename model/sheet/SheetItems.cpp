#include "model/sheet/SheetItems.h"

#include "model/items/Part.h"
#include "model/services/DocumentServices.h"

CSheet* ViaPartSheet(CSheet& sheet)
{
    DocumentServices* doc = sheet.GetDocument();
    return doc ? doc->GetBoardSheet(LAYER_MAX) : nullptr;
}

std::vector<CPart*> PlacedParts(CSheet& sheet)
{
    std::vector<CPart*> parts;
    if (CSheet* viaPart = ViaPartSheet(sheet))
        ForEach<CPart>(*viaPart, KIND_PART, [&](CPart* part) { parts.push_back(part); });
    return parts;
}
