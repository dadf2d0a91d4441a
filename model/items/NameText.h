#pragma once
// The name text of a line or an arc, held only once something is done to it: most tracks never
// have a name, and a whole text in every track would more than double its size. Until then it
// reads as the empty text a fresh item would hold.

#include <memory>

class CItemBase;
class CText;

class CNameText
{
public:
    CNameText();
    ~CNameText();
    CNameText(const CNameText&) = delete;
    CNameText& operator=(const CNameText&) = delete;

    bool Has() const { return m_text != nullptr; }
    // The text, made (empty, its parent the owner) when the item has none yet; also for a const
    // item, as whoever holds the text may walk up to its owner.
    CText& Get(CItemBase* owner) const;
    // The text, or the empty one it stands for.
    const CText& Peek() const;
    // The owner's text becomes a copy of the given one, its parent the owner.
    void Assign(const CText& text, CItemBase* owner);

private:
    mutable std::unique_ptr<CText> m_text;
};
