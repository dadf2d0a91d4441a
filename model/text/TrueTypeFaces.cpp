#include "model/text/TrueTypeFaces.h"

#include "platform/Cp932.h"
#include "platform/FaceResolver.h"
#include "platform/FontRecord.h"
#include "platform/J.h"

#include <fontconfig/fontconfig.h>
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <vector>

namespace {

// A face name reduced for comparison: full-width ASCII folded to ASCII, blanks (also the
// ideographic space) dropped, ASCII letters in lower case. "ＭＳ ゴシック" and "MSゴシック" compare
// equal, as Windows' font mapper treats them as one face.
std::u32string NormaliseName(std::string_view cp932)
{
    std::u32string out;
    for (const platform::Cp932Char c : platform::Chars(cp932)) {
        const auto cp = platform::Cp932ToUnicode(c.code);
        if (!cp)
            continue;
        char32_t u = *cp;
        if (u >= 0xFF01 && u <= 0xFF5E)
            u -= 0xFEE0;
        if (u == 0x3000 || u == U' ' || u == U'\t')
            continue;
        if (u >= U'A' && u <= U'Z')
            u += U'a' - U'A';
        out.push_back(u);
    }
    return out;
}

using FamilyList = std::vector<const char*>;

const FamilyList& GothicFamilies()
{
    static const FamilyList list{"IPAGothic", "IPAexGothic", "Noto Sans CJK JP", "Noto Sans Mono CJK JP"};
    return list;
}

const FamilyList& ProportionalGothicFamilies()
{
    static const FamilyList list{"IPAPGothic", "IPAGothic", "IPAexGothic", "Noto Sans CJK JP"};
    return list;
}

const FamilyList& MinchoFamilies()
{
    static const FamilyList list{"IPAMincho", "IPAexMincho", "Noto Serif CJK JP", "IPAGothic"};
    return list;
}

const FamilyList& ProportionalMinchoFamilies()
{
    static const FamilyList list{"IPAPMincho", "IPAMincho", "IPAexMincho", "Noto Serif CJK JP", "IPAGothic"};
    return list;
}

// Installed faces that stand in for the Windows faces texts name, most alike first.
const FamilyList* Aliases(const std::u32string& name)
{
    struct Alias
    {
        std::u32string name;
        const FamilyList* families;
    };
    static const FamilyList arial{"Liberation Sans", "Arimo"};
    static const FamilyList times{"Liberation Serif", "Tinos"};
    static const FamilyList courier{"Liberation Mono", "Cousine"};
    static const std::vector<Alias> table = [] {
        std::vector<Alias> t;
        const auto add = [&t](std::string_view n, const FamilyList& f) {
            t.push_back({NormaliseName(n), &f});
        };
        add("Arial", arial);
        add("Times New Roman", times);
        add("Courier New", courier);
        add("MS Gothic", GothicFamilies());
        add(_J("ＭＳ ゴシック"), GothicFamilies());
        add("MS PGothic", ProportionalGothicFamilies());
        add(_J("ＭＳ Ｐゴシック"), ProportionalGothicFamilies());
        add("MS UI Gothic", ProportionalGothicFamilies());
        add("MS Mincho", MinchoFamilies());
        add(_J("ＭＳ 明朝"), MinchoFamilies());
        add("MS PMincho", ProportionalMinchoFamilies());
        add(_J("ＭＳ Ｐ明朝"), ProportionalMinchoFamilies());
        return t;
    }();
    for (const Alias& a : table)
        if (a.name == name)
            return a.families;
    return nullptr;
}

// Stand-ins for other Japanese faces that are not installed, by kind.
const FamilyList* KindOf(const std::u32string& name)
{
    static const std::u32string gothicJ = NormaliseName(_J("ゴシック"));
    static const std::u32string gothic = NormaliseName("Gothic");
    static const std::u32string minchoJ = NormaliseName(_J("明朝"));
    static const std::u32string mincho = NormaliseName("Mincho");
    for (const auto* kind : {&gothicJ, &gothic})
        if (name.find(*kind) != std::u32string::npos)
            return &GothicFamilies();
    for (const auto* kind : {&minchoJ, &mincho})
        if (name.find(*kind) != std::u32string::npos)
            return &MinchoFamilies();
    return nullptr;
}

bool HasFamily(FcPattern* pattern, const std::string& family)
{
    FcChar8* value = nullptr;
    for (int i = 0; FcPatternGetString(pattern, FC_FAMILY, i, &value) == FcResultMatch; ++i)
        if (FcStrCmpIgnoreCase(value, reinterpret_cast<const FcChar8*>(family.c_str())) == 0)
            return true;
    return false;
}

bool CoversJapanese(FcPattern* pattern)
{
    FcLangSet* langs = nullptr;
    if (FcPatternGetLangSet(pattern, FC_LANG, 0, &langs) != FcResultMatch)
        return false;
    return FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("ja")) != FcLangDifferentLang;
}

int WeightOrNormal(int weight)
{
    return weight <= 0 ? FW_NORMAL : std::min(weight, 1000);
}

} // namespace

TrueTypeLibrary::TrueTypeLibrary()
{
    if (FT_Init_FreeType(&library) != 0)
        throw std::runtime_error("FreeType could not be initialised");
}

TrueTypeLibrary::~TrueTypeLibrary()
{
    FT_Done_FreeType(library);
}

TrueTypeFace::~TrueTypeFace()
{
    if (face)
        FT_Done_Face(face);
}

CTrueTypeFaces& CTrueTypeFaces::Instance()
{
    static CTrueTypeFaces instance;
    return instance;
}

CTrueTypeFaces::CTrueTypeFaces() : m_library(std::make_shared<TrueTypeLibrary>())
{
    FcInit();
}

const TrueTypeFaceChoice& CTrueTypeFaces::Resolve(std::string_view faceName, int charSet, int weight,
                                                  bool italic)
{
    faceName = faceName.substr(0, std::min(faceName.find('\0'), faceName.size()));
    const bool japanese = charSet == SHIFTJIS_CHARSET;
    weight = WeightOrNormal(weight);
    auto key = std::make_tuple(std::string(faceName), japanese, weight, italic);
    auto it = m_resolved.find(key);
    if (it == m_resolved.end()) {
        auto choice = std::make_unique<TrueTypeFaceChoice>(Find(faceName, charSet, weight, italic));
        choice->weight = weight;
        choice->italic = italic;
        it = m_resolved.emplace(std::move(key), std::move(choice)).first;
    }
    return *it->second;
}

const TrueTypeFaceChoice& CTrueTypeFaces::Fallback(int weight, bool italic)
{
    return Resolve("MS Gothic", SHIFTJIS_CHARSET, weight, italic);
}

TrueTypeFaceChoice CTrueTypeFaces::Find(std::string_view faceName, int charSet, int weight, bool italic)
{
    const bool japanese = charSet == SHIFTJIS_CHARSET;
    const std::u32string name = NormaliseName(faceName);
    const std::string utf8 = platform::Cp932ToUtf8(faceName);

    const auto firstOf = [&](const FamilyList& families) {
        for (const char* family : families)
            if (auto c = Match(family, weight, italic, false, true); c.face)
                return c;
        return TrueTypeFaceChoice{};
    };
    if (const FamilyList* aliases = Aliases(name))
        if (auto c = firstOf(*aliases); c.face)
            return c;
    if (!name.empty())
        if (auto c = Match(utf8, weight, italic, japanese, true); c.face)
            return c;
    if (const FamilyList* kind = KindOf(name))
        if (auto c = firstOf(*kind); c.face)
            return c;
    if (japanese) {
        // Whatever fontconfig prefers for Japanese text, as long as it has the characters.
        if (auto c = Match(utf8, weight, italic, true, false); c.face)
            return c;
        if (auto c = firstOf(GothicFamilies()); c.face)
            return c;
    }
    if (auto c = Match(utf8, weight, italic, false, false); c.face)
        return c;
    return {};
}

TrueTypeFaceChoice CTrueTypeFaces::Match(const std::string& family, int weight, bool italic, bool japanese,
                                         bool exact)
{
    ++m_queries;
    FcPattern* pattern = FcPatternCreate();
    if (!family.empty())
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddDouble(pattern, FC_WEIGHT, FcWeightFromOpenTypeDouble(weight));
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    if (japanese)
        FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return {};

    TrueTypeFaceChoice choice;
    FcChar8* file = nullptr;
    int index = 0;
    FcBool outline = FcFalse;
    const bool usable = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
                        FcPatternGetBool(match, FC_OUTLINE, 0, &outline) == FcResultMatch && outline &&
                        (!exact || HasFamily(match, family)) && (!japanese || CoversJapanese(match));
    if (usable) {
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        choice.face = Open(reinterpret_cast<const char*>(file), index);
    }
    FcPatternDestroy(match);
    if (choice.face) {
        choice.syntheticBold = weight >= FW_SEMIBOLD && choice.face->weight < FW_SEMIBOLD;
        choice.syntheticItalic = italic && !choice.face->italic;
    }
    return choice;
}

std::shared_ptr<TrueTypeFace> CTrueTypeFaces::Open(const std::string& file, int index)
{
    auto key = std::make_pair(file, index);
    if (auto it = m_files.find(key); it != m_files.end())
        return it->second;
    FT_Face face = nullptr;
    if (FT_New_Face(m_library->library, file.c_str(), index, &face) != 0)
        return nullptr;
    auto entry = std::make_shared<TrueTypeFace>();
    entry->library = m_library;
    entry->face = face;
    entry->file = file;
    entry->index = index;
    if (!FT_IS_SCALABLE(face)) {
        m_files.emplace(std::move(key), nullptr);
        return nullptr;
    }
    // Character codes are looked up as Unicode; faces without a Unicode map keep their first one.
    if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0 && face->num_charmaps > 0)
        FT_Set_Charmap(face, face->charmaps[0]);
    entry->family = face->family_name ? face->family_name : "";
    entry->italic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
    entry->weight = (face->style_flags & FT_STYLE_FLAG_BOLD) ? FW_BOLD : FW_NORMAL;
    if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        os2 && os2->version != 0xFFFF && os2->usWeightClass >= 100 && os2->usWeightClass <= 1000)
        entry->weight = os2->usWeightClass;
    m_files.emplace(std::move(key), entry);
    return entry;
}

namespace {

// Drawing contexts draw text with the faces texts are measured and outlined with.
std::optional<platform::ResolvedFace> ResolveForDrawing(std::string_view faceName, int charSet, int weight,
                                                        bool italic)
{
    const TrueTypeFaceChoice& choice = CTrueTypeFaces::Instance().Resolve(faceName, charSet, weight, italic);
    if (!choice.face)
        return std::nullopt;
    return platform::ResolvedFace{choice.face->file, choice.face->index, choice.face->family};
}

} // namespace

void InstallTrueTypeFaceResolver()
{
    platform::SetFaceResolver(&ResolveForDrawing);
}
