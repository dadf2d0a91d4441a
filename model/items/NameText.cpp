#include "model/items/NameText.h"

#include "model/items/Text.h"

CNameText::CNameText() = default;

CNameText::~CNameText() = default;

CText& CNameText::Get(CItemBase* owner) const
{
    if (!m_text) {
        m_text = std::make_unique<CText>();
        m_text->SetParent(owner);
    }
    return *m_text;
}

const CText& CNameText::Peek() const
{
    static const CText empty;
    return m_text ? *m_text : empty;
}

void CNameText::Assign(const CText& text, CItemBase* owner)
{
    CText& own = Get(owner);
    own = text;
    own.SetParent(owner);
}
