#pragma once
// Installed TrueType faces for the faces texts name. A face name (CP932) with a character set,
// weight and italic flag resolves once, through fontconfig, to a font file; the file is opened
// once with FreeType and kept for the life of the process. Windows face names map onto installed
// faces with the same metrics where there are such ("Arial" onto Liberation Sans, the Japanese
// Gothic faces onto IPAGothic). The model runs on one thread; nothing here takes a lock.

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>

// The FreeType library handle, released after the last face opened with it.
struct TrueTypeLibrary
{
    FT_Library library = nullptr;
    TrueTypeLibrary();
    ~TrueTypeLibrary();
    TrueTypeLibrary(const TrueTypeLibrary&) = delete;
    TrueTypeLibrary& operator=(const TrueTypeLibrary&) = delete;
};

// One opened face of a font file.
struct TrueTypeFace
{
    std::shared_ptr<TrueTypeLibrary> library;
    FT_Face face = nullptr;
    std::string file;
    int index = 0;
    std::string family; // the face's own family name (UTF-8)
    int weight = 400;   // OpenType weight class
    bool italic = false;

    TrueTypeFace() = default;
    ~TrueTypeFace();
    TrueTypeFace(const TrueTypeFace&) = delete;
    TrueTypeFace& operator=(const TrueTypeFace&) = delete;
};

// What a font request resolves to: the face, and the styles asked for that the face itself lacks
// and that are therefore made from its outlines (slanted, emboldened).
struct TrueTypeFaceChoice
{
    std::shared_ptr<TrueTypeFace> face; // null when no face at all could be found
    bool syntheticBold = false;
    bool syntheticItalic = false;
    int weight = 400;    // the weight asked for (0 taken as 400)
    bool italic = false; // italic asked for
};

class CTrueTypeFaces
{
public:
    static CTrueTypeFaces& Instance();

    // The face for a face name (CP932 bytes, up to a NUL), a character set (lfCharSet), a weight
    // (lfWeight, 0 = normal) and italic. The result lives as long as the process; repeated
    // requests are answered from a table without asking fontconfig again.
    const TrueTypeFaceChoice& Resolve(std::string_view faceName, int charSet, int weight, bool italic);

    // The Japanese Gothic face, used for characters that a face lacks.
    const TrueTypeFaceChoice& Fallback(int weight, bool italic);

    // A face file opened directly (each file and index once).
    std::shared_ptr<TrueTypeFace> Open(const std::string& file, int index);

    // Number of fontconfig look-ups made so far.
    std::size_t QueryCount() const { return m_queries; }

private:
    CTrueTypeFaces();
    TrueTypeFaceChoice Find(std::string_view faceName, int charSet, int weight, bool italic);
    TrueTypeFaceChoice Match(const std::string& family, int weight, bool italic, bool japanese, bool exact);

    std::shared_ptr<TrueTypeLibrary> m_library;
    std::map<std::pair<std::string, int>, std::shared_ptr<TrueTypeFace>> m_files;
    std::map<std::tuple<std::string, bool, int, bool>, std::unique_ptr<TrueTypeFaceChoice>> m_resolved;
    std::size_t m_queries = 0;
};

// Lets drawing contexts draw text with the faces texts are measured and outlined with
// (platform::SetFaceResolver); called at start-up.
void InstallTrueTypeFaceResolver();
