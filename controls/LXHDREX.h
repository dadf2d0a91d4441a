#pragma once
// The record of every exchange between a grid and its owner: cell formats, drop-down choices,
// edited values and owner drawing.

#include "platform/Types.h"

#include <QFont>
#include <QRect>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QPainter;

// Request codes.
enum GfxCellRequest
{
    GFXREQ_FORMAT = 0,  // font and colours of a cell; non-zero = apply them
    GFXREQ_CHOICES = 1, // drop-down entries; 0 = open no editor
    GFXREQ_ENDEDIT = 2, // edited text; non-zero = accept
    GFXREQ_DRAWROW = 3, // after a row was drawn; non-zero = handled
    GFXREQ_FOOTER = 4   // draw the footer area of a row
};

// Format flags set by the owner.
enum GfxCellFormat : std::uint8_t
{
    GFXFMT_BOLD = 0x01,
    GFXFMT_ITALIC = 0x02,
    GFXFMT_UNDERLINE = 0x04,
    GFXFMT_FONT = 0x08,
    GFXFMT_TEXTCOLOR = 0x10,
    GFXFMT_BKCOLOR = 0x20
};

class LXHDREX
{
public:
    virtual ~LXHDREX() = default;

    int nCode = 0;
    int nCtrlId = 0;
    int nItem = 0;
    int nSubItem = 0; // column id
    std::intptr_t lParam = 0;
    int nWord = 0; // 128 in a choices request
    std::uint8_t cFormat = 0;
    COLORREF crText = 0;
    COLORREF crBack = 0;
    std::optional<QFont> font;
    std::string strText;                          // CP932: the edited text; the owner may change it
    std::vector<std::string>* pChoices = nullptr; // CP932 entries the owner appends
};

class CGfxCellDrawRequest : public LXHDREX
{
public:
    QRect rect;
    QPainter* pDC = nullptr;
};
