// Stand-ins until the net-list commands come: the project's net list is not read yet and the nets
// have no nodes to link.

#include "document/VELTADoc.h"

void CVELTADoc::ReloadNetFile(bool force)
{
    (void)force;
}

void CVELTADoc::SetNetTerminals() {}
