#pragma once
// A TrueType font at one height, as a logical font asks for it: glyph metrics, glyph outlines,
// text metrics and text extents in whole device pixels (one logical unit per pixel).
//
// Character codes are CP932 codes (a byte, or lead byte * 256 + trail byte); they are looked up
// through their Unicode character, and a character the face lacks comes from the Japanese Gothic
// face at the same em height. Glyphs are hinted at the pixel size; metrics are rounded to whole
// pixels.
//
// Making a font is cheap once its face and height have been seen: faces are resolved once and the
// per-height data (metrics, glyphs already measured or outlined) is shared by every font object of
// the same face and height. Font objects are small handles and may be copied freely.

#include "platform/FontRecord.h"
#include "model/text/TrueTypeFaces.h"
#include "model/text/TrueTypeOutline.h"
#include "platform/Types.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

struct TrueTypeSize;

class CTrueTypeFont
{
public:
    // No face: invalid, every measure is zero.
    CTrueTypeFont() = default;
    // The face of lfFaceName / lfCharSet / lfWeight / lfItalic at lfHeight: a negative height is the
    // em height, a positive one the cell height (ascent + descent), 0 a cell height of 16. Width,
    // escapement, orientation, underline and strike-out do not change glyphs or metrics.
    explicit CTrueTypeFont(const LOGFONTA& lf);
    // A face already chosen (for example one opened from a file) at a height as above.
    CTrueTypeFont(const TrueTypeFaceChoice& face, std::int32_t height);

    bool IsValid() const { return m_size != nullptr; }
    // Family name of the face (UTF-8) and its file; empty when invalid.
    std::string GetFamilyName() const;
    std::string GetFaceFile() const;
    // Pixels per em the glyphs are scaled to (0 when invalid).
    int GetEmHeight() const;

    const TEXTMETRICA& GetTextMetrics() const;

    // Metrics of a character with the identity transform. False (and zero metrics) when invalid.
    bool GetGlyphMetrics(unsigned code, GLYPHMETRICS& metrics) const;
    // Metrics and, when outline is not null, the native outline of a character after the transform.
    // A character without outline (a space) gives an empty outline. False when invalid or when the
    // glyph could not be loaded (metrics and outline then empty).
    bool GetGlyphOutline(unsigned code, const MAT2& matrix, GLYPHMETRICS& metrics,
                         TrueTypeOutline* outline) const;

    // gmCellIncX of a character (0 when invalid).
    std::int32_t GetCharAdvance(unsigned code) const;
    // Width = sum of the characters' advances, height = tmHeight.
    CSize GetTextExtent(std::string_view cp932) const;

private:
    std::shared_ptr<TrueTypeSize> m_size;
};

// A FreeType outline (26.6, y up) in the native form above: the start of each contour is an
// on-curve point (the midpoint of its last and first points when none is on the curve), contours of
// one point are left out, and cubic pieces become quadratic pieces within 1/16 pixel.
TrueTypeOutline ConvertFreeTypeOutline(const FT_Outline& outline);
