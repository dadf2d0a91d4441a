#include "document/WaitCursor.h"

#include "document/DocumentHost.h"

WaitCursor::WaitCursor(DocumentHost* host) : m_host(host)
{
    if (m_host)
        m_host->BeginWaitCursor();
}

WaitCursor::~WaitCursor()
{
    End();
}

void WaitCursor::End()
{
    if (m_host)
        m_host->EndWaitCursor();
    m_host = nullptr;
}
