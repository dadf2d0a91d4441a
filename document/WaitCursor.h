#pragma once
// The wait cursor for a scope, through the document's host (none: nothing shown).

class DocumentHost;

class WaitCursor
{
public:
    explicit WaitCursor(DocumentHost* host);
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
    // Ends it before the scope does.
    void End();

private:
    DocumentHost* m_host;
};
