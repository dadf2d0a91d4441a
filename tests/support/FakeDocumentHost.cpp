#include "tests/support/FakeDocumentHost.h"

void FakeDocumentHost::UpdateAllViews(int hint, const CDRect* area, CItemBase* item)
{
    repaints.push_back(Repaint{hint, area != nullptr, area ? *area : CDRect(), item});
}

std::optional<PrinterPage> FakeDocumentHost::GetDefaultPrinterPage(bool portrait, int paperCode)
{
    printerRequests.push_back(PrinterRequest{portrait, paperCode});
    return printer;
}
