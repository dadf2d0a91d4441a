#pragma once
// Text item: one line of CP932 characters at a reference point, with an angle, an origin code that
// says which point of the text's frame the reference point is, and one of three letterings: the
// stroke font (drawn with the pen of the text's turret), the text's own TrueType font (a stored
// 60-byte logical-font record), or the profile's default TrueType faces. Texts stand alone on
// layer sheets and are owned by parts, lines, arcs, terminals and surfaces.

#include "model/geometry/DPoint.h"
#include "model/geometry/DRect.h"
#include "model/geometry/DSize.h"
#include "model/items/ItemBase.h"
#include "platform/FontRecord.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class CArchive;
class CSheet;
class CTrueTypeFont;
class DocumentServices;
struct GLYPHMETRICS;
struct TextDialogData;
struct tagDCODE;
struct tagGERBAR;
namespace platform {
class DrawContext;
}

// Type word of a text: origin code in the low seven bits, then single flags.
enum TextType : int
{
    TEXT_ORIGIN_MASK = 0x7F,     // 0 top left ... 8 bottom left (default) ... 30 centre
    TEXT_MIRROR = 0x80,          // drawn mirrored
    TEXT_STROKE = 0x200,         // stroke font
    TEXT_SELECTED = 0x400,       // transient partial-selection mark, never stored
    TEXT_FRAME = 0x1000,         // a rectangle round the text at the frame distance
    TEXT_OWN_FONT = 0x2000,      // own TrueType font in the font record
    TEXT_NOT_PRINTABLE = 0x4000, // left out of printing
    TEXT_HIDDEN = 0x8000,        // not displayed, hit or output (property texts)
    TEXT_FRAME_DIST_SHIFT = 16,  // bits 16-22: frame distance in tenths of a millimetre
    TEXT_FRAME_DIST_MASK = 0x7F0000,
    TEXT_HAS_FONT_RECORD = TEXT_STROKE | TEXT_OWN_FONT // the font record is part of the stored forms
};

// Origin codes: horizontal part 0 left, 2 right, 6 centre; vertical part 0 top, 8 bottom, 24 middle.
enum TextOrigin : int
{
    TEXT_ORG_TOP_LEFT = 0,
    TEXT_ORG_TOP_RIGHT = 2,
    TEXT_ORG_TOP_CENTER = 6,
    TEXT_ORG_BOTTOM_LEFT = 8,
    TEXT_ORG_BOTTOM_RIGHT = 10,
    TEXT_ORG_BOTTOM_CENTER = 14,
    TEXT_ORG_MIDDLE_LEFT = 24,
    TEXT_ORG_MIDDLE_RIGHT = 26,
    TEXT_ORG_CENTER = 30
};

class CText : public CItemBase
{
public:
    CText();
    CText(const CText& other);
    // kind text, origin bottom left, size 50; a non-zero turret makes it a stroke text with that
    // pen. The font record is left zero, so a stroke text made this way has no dimensions yet.
    CText(const std::string& string, const CDPoint& position, int turret);
    // From a text line (the keyword before the first double quote is ignored).
    explicit CText(const char* line);
    ~CText() override;

    // Copies the item base (parent included), position, string, size and font record.
    CText& operator=(const CText& other);
    // Empty texts are all equal. Otherwise position (1e-6), string bytes, type apart from the
    // selected bit, size and (for stroke texts, whose pen it is) turret; angle, layer and font record
    // are not compared.
    bool operator==(const CText& other) const;
    // Reading order: top to bottom, then left to right.
    bool operator<(const CText& other) const;

    // --- Content and attributes ---
    const std::string& GetName() const { return m_strText; }
    int GetLength() const { return static_cast<int>(m_strText.size()); }
    // Sets the string only.
    void SetName(const std::string& string);
    // Reads a text line: a line without a double quote becomes the string; otherwise the string
    // between the first and the last double quote and the values after it. An empty line changes
    // nothing.
    void SetName(const char* line);
    // Reads a "Font" line (without its keyword or with it before the first double quote); only a
    // stroke text or a text with its own font takes it.
    void SetFont(const char* line);
    // The 60-byte font record (every stored byte kept). A stroke text keeps its dimensions here:
    // lfHeight = character height, lfWidth = width of a double-byte character, lfWeight =
    // character spacing (hundredths of a millimetre), lfCharSet = the text-size table entry it
    // follows (0 none).
    const LOGFONTA* GetFont() const { return &m_font; }
    void SetFontRecord(const LOGFONTA& font);

    int GetSize() const { return m_nSize; }
    void SetSize(int size);
    // Stroke character height in millimetres.
    double GetHeight() const { return m_font.lfHeight * 0.01; }
    // Text-size table entry that a stroke text follows (0 none).
    int GetTable() const { return m_font.lfCharSet; }
    int GetOrign() const { return m_nType & TEXT_ORIGIN_MASK; }
    void SetOrign(int origin);
    double GetFrameDist() const { return ((m_nType >> TEXT_FRAME_DIST_SHIFT) & 0x7F) * 0.1; }

    int IsDisp() const { return (m_nType & TEXT_HIDDEN) == 0; }
    int IsPrint() const { return (m_nType & TEXT_NOT_PRINTABLE) == 0; }
    int IsFrame() const { return (m_nType & TEXT_FRAME) != 0; }
    int IsMirror() const { return (m_nType & TEXT_MIRROR) != 0; }
    int IsStroke() const { return (m_nType & TEXT_STROKE) != 0; }
    int IsSPFont() const { return (m_nType & TEXT_OWN_FONT) != 0; }
    int IsTextSel() const { return m_nType & TEXT_SELECTED; }
    int IsPointChecked() const { return m_bPointChecked; }
    void MakePoint() { m_bPointChecked = 1; }
    // show != 0 clears the hidden bit, 0 sets it.
    void Disp(int show);
    // print != 0 clears the not-printable bit, 0 sets it; an own font's strike-out follows.
    void Print(int print);

    const CDPoint& GetPoint() const { return m_ptPoint; }
    // Moves the text so that its position becomes p.
    void SetPoint(const CDPoint& p);
    // Frame corner i (0 bottom left, 1 bottom right, 2 top right, 3 top left, before rotation) as
    // last computed; call GetBoundingRect first to bring them up to date.
    const CDPoint& GetCorner(int i) const { return m_ptArea[i & 3]; }

    // --- Persistent forms ---
    // Binary record: DataRead when the archive loads, else DataWrite. A truncated or malformed
    // record throws ArchiveError and leaves the text as it was.
    void Serialize(CArchive& ar, int version);
    // The text line, preceded by "Text " when keyword is non-zero, and a "Font" line when the font
    // record belongs to the text.
    void SerializeText(CArchive& ar, int keyword);
    // The same lines as bytes.
    std::string GetTextLines(int keyword);

    // --- Geometry and measuring ---
    // Width and height of the string in millimetres (stroke dimensions, or the TrueType face).
    CDSize GetRect() const;
    // The string without overline markers ('~'); runs receives the byte lengths of the alternating
    // plain and overlined runs.
    std::string GetTrueName(std::vector<std::uint16_t>& runs) const;
    // The string with overlined and plain runs exchanged; the text is not changed.
    std::string SetRevBlock() const;

    void Offset(const CDPoint& d);
    void OffsetAttr(const CDPoint& d);
    // With flip the horizontal (MirrorX) or vertical (MirrorY) part of the origin code is
    // exchanged and the angle becomes 2 pi minus the angle. The mirror bit is not changed.
    void MirrorX(double x, bool flip);
    void MirrorY(double y, bool flip);
    void MirrorXText(double x);
    void MirrorYText(double y);
    void Rotate(const CDPoint& center, double angle);

    int CheckPoint(const CDPoint& p);
    int CheckPoint(const CDRect& r);
    // Snaps p to a frame corner, the frame centre or an edge midpoint within dist.
    int CheckItemPoint(CDPoint& p, double dist);
    int SetTextSel(const CDRect& r);
    void ResetTextSel();

    // --- Copper contact, clearance and outline ---
    // 1 when an edge of the text's frame, as a line with the text's turret, touches the item
    // (lines, arcs, texts, holes, lands, vias and surfaces; other kinds 0).
    int CheckShort(CItemBase* item);
    // 1 when a stroke of the text (its conversion to lines) comes closer to the item than the
    // rule's netted clearance without any stroke touching it; the positions go to the error points.
    int DRC_ShortCheck(tagDRCSPEC* drc, CItemBase* item);
    // Adds the outline of the four frame edges, grown by grow, to the sheet.
    void GetFrameData(CSheet* sheet, double grow);

    // --- Editing, numbering, search, properties ---
    // A keypad key code 97..105 or an origin code.
    void SetOrg(int keyOrCode);
    // Adds step to the trailing (ASCII or full-width) number of the string.
    void IncName(int step);
    int Find(CDPoint& found, const std::string& pattern, int matchCase, int whole, int hidden) const;
    bool IsPropaty() const;
    // The string becomes "&name&value" and the text is hidden.
    void SetPropaty(const std::string& name, const std::string& value);
    std::string GetPropatyName() const;
    std::string GetPropatyVal() const;
    // Runs the text dialog: 0 cancelled, 1 accepted, 2 accepted and moved. With multi non-zero the
    // text becomes a template for the selected texts (choices packed into its y coordinate).
    int InputText(DocumentServices* doc, bool flag, int multi);
    // Stores the text's attributes as the dialog's remembered defaults.
    void SetAttribute();

    // --- Drawing (mode bits: 1 hairlines and light TrueType faces; 2, 4 glyph-outline paths, stroked
    // with 2, filled otherwise; 1, 8 scaled TrueType height and escapement; 0x80 mirrored) ---
    // Draws the text with the context's current pen: stroke texts character by character, TrueType
    // texts as text output or as glyph-outline paths.
    void DrawTextA(platform::DrawContext* dc, int mode);
    // One stroke character whose cell starts at origin (bit 0x80 of mode mirrors its strokes).
    void DrawStrokeChar(platform::DrawContext* dc, CDPoint origin, int mode, const std::string& strokes);
    // One stroke segment with the pen of the text's turret: 1 a hairline, 2 and 8 its outline, 4 a
    // wide solid line; nothing for other modes.
    void DrawStrokeCharSub(platform::DrawContext* dc, int mode, CDPoint from, CDPoint to);
    // Adds one glyph outline of the font selected into dc to the context's current path, the
    // character's top left at corner; scale turns device pixels into millimetres. Returns the
    // advance in millimetres.
    double DrawChar(platform::DrawContext* dc, unsigned code, CDPoint corner, bool mirror, double scale,
                    double ascentRatio);
    // A 16.16 outline point in glyph-box coordinates: relative to the black box's top left (x
    // flipped inside the box when mirrored).
    static void FromGGOPoint(CDPoint* out, const tagPOINTFX& point, const GLYPHMETRICS& metrics, bool mirror);

    // --- Photo-plot output and aperture usage (nothing for a hidden, not printable or empty text) ---
    // Writes the text as strokes: frame and overlines with the text's turret, then stroke
    // characters, or TrueType glyphs as surfaces hatched with turret 1. mirror is inverted by the
    // text's own mirror bit.
    void DataWriteGerbar(CArchive& ar, tagGERBAR& g, bool mirror);
    // The strokes of one stroke character whose cell starts at origin.
    void MakeStrokeChar(CArchive& ar, tagGERBAR& g, bool mirror, CDPoint origin, const std::string& strokes);
    // Adds the text's strokes to the usage table: four frame lines (no length), the strokes of
    // each stroke character, or the glyph surfaces' own usage.
    void CheckTurret(tagDCODE* table);
    // The strokes of one stroke character, measured in cells of the full advance.
    void CheckTurretSub(tagDCODE* table, const std::string& strokes);

    // --- Conversion to lines ---
    // Adds the text as line items to the sheet: stroke texts as strokes of their turret, TrueType
    // texts as hairline glyph outlines. 0 (nothing added) for a hidden or empty text, else 1.
    int ConvertLine(CSheet& sheet);
    // Adds one stroke character whose cell starts at origin as line items.
    void MakeLineData(CSheet& sheet, bool mirror, CDPoint origin, const std::string& strokes);
    // Adds the outline of one glyph of the measuring font as closed polygons of line items with the
    // turret and the text's ID, the character's top left at corner; scale turns glyph units into
    // millimetres. Returns the advance in millimetres.
    double MakeSurChar(CSheet* sheet, const CTrueTypeFont& font, unsigned code, CDPoint corner, double scale,
                       double ascentRatio, int turret);
    // The edges MakeSurChar makes lines of, handed over in its order without making items. Returns
    // the advance in millimetres.
    double ForEachGlyphEdge(const CTrueTypeFont& font, unsigned code, CDPoint corner, double scale,
                            double ascentRatio,
                            const std::function<void(const CDPoint&, const CDPoint&)>& edge) const;

    // --- Layout shared by drawing, conversion and output (bounds must be current) ---
    using Segment = std::pair<CDPoint, CDPoint>;
    // The frame corners turned back about the position, grown outward by grow, turned forward.
    void GetGrownFrame(double grow, CDPoint corners[4]) const;
    // Advance of one stroke character in millimetres.
    double GetStrokeAdvance(bool doubleByte) const;
    // Widths in millimetres of the overline runs of a stroke text's display string.
    std::vector<double> GetStrokeRunWidths(const std::string& name,
                                           const std::vector<std::uint16_t>& runs) const;
    // The overlines: the runs laid along the top edge from corner 3 (corner 2 and leftward when
    // mirrored) of the frame turned back about corner 0; every odd run one segment, turned forward
    // about corner 0.
    std::vector<Segment> GetOverlines(const std::vector<double>& runWidths, bool mirror) const;
    // Calls fn with the cell origin and the strokes of every character of the display string that
    // has strokes in the stroke font; characters without strokes still advance. The stroke reader's
    // last code is cleared first; a repeated character reuses the strokes already read.
    void ForEachStrokeChar(const std::string& name, bool mirror,
                           const std::function<void(const CDPoint&, const std::string&)>& fn) const;
    // The segments that one stroke character draws: cell steps of 1/32 of the width (negated when
    // mirrored) and height, turned by the text's angle about the cell origin, moved to origin.
    void GetStrokeSegments(const std::string& strokes, bool mirror, const CDPoint& origin,
                           std::vector<Segment>& segments) const;
    // The logical font of a TrueType text at a height (logical units), escapement and weight: its
    // own font, or the profile's default face (the Japanese one for a Japanese string).
    LOGFONTA MakeTrueTypeFont(int height, int escapement, int weight, int quality) const;
    // The font a TrueType text is measured and converted with: em height = size, so one glyph unit
    // stands for a hundredth of a millimetre.
    CTrueTypeFont GetMeasureFont() const;

    // value x scale truncated toward zero, as the stored whole-number fields take it; a product
    // that misses a whole number only by the rounding of the multiplication (0.29 x 100 gives
    // 28.999999999999996) counts as that whole number.
    static std::int32_t TruncScaled(double value, double scale);
    // The font record's height (an em height, negative) of a size; the most negative size, which
    // has no negation, counts as the largest.
    static std::int32_t EmHeight(int size) { return size == INT32_MIN ? -INT32_MAX : -size; }

protected:
    void CalcBoundingRect() override;
    void DataWrite(CArchive& ar);
    void DataRead(CArchive& ar, int version);

private:
    // Width and height of the display string; TrueType texts through the installed faces.
    CDSize MeasureStroke(const std::string& name) const;
    CDSize MeasureTrueType(const std::string& name) const;
    // The dialog record filled from the text (shared by InputText and SetAttribute).
    void FillDialog(TextDialogData& data) const;
    void ApplyStrokeChoice(const TextDialogData& data);
    void MarkDirty() { ResetBounding(); }

    CDPoint m_ptPoint;
    std::string m_strText;
    int m_nSize = 200;
    LOGFONTA m_font;
    std::uint8_t m_bPointChecked = 0;
};
