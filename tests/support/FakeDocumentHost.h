#pragma once
// A document host for tests: records the repaints it is asked for and answers with the printer
// page a test sets (none by default, as on a machine without a printer).

#include "document/DocumentHost.h"

#include <vector>

class FakeDocumentHost : public DocumentHost
{
public:
    struct Repaint
    {
        int hint = 0;
        bool withArea = false;
        CDRect area;
        CItemBase* item = nullptr;
    };
    struct PrinterRequest
    {
        bool portrait = true;
        int paperCode = 0;
    };

    void UpdateAllViews(int hint, const CDRect* area, CItemBase* item) override;
    std::optional<PrinterPage> GetDefaultPrinterPage(bool portrait, int paperCode) override;

    std::optional<PrinterPage> printer; // the default printer's page; none: no printer
    std::vector<Repaint> repaints;
    std::vector<PrinterRequest> printerRequests;
};
