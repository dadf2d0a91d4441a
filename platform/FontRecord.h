#pragma once
// The logical-font record a text keeps (60 bytes in board files, little-endian, Windows layout) and
// the values its byte fields take. A text keeps all 60 bytes as read; the face name is CP932 and is
// decoded only to find an installed face.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

constexpr std::size_t LF_FACESIZE = 32;

// Character sets (lfCharSet).
constexpr std::uint8_t ANSI_CHARSET = 0;
constexpr std::uint8_t DEFAULT_CHARSET = 1;
constexpr std::uint8_t SYMBOL_CHARSET = 2;
constexpr std::uint8_t SHIFTJIS_CHARSET = 128;
constexpr std::uint8_t HANGUL_CHARSET = 129;
constexpr std::uint8_t GB2312_CHARSET = 134;
constexpr std::uint8_t CHINESEBIG5_CHARSET = 136;
constexpr std::uint8_t OEM_CHARSET = 255;

// Weights (lfWeight); 0 means the face's normal weight.
constexpr std::int32_t FW_DONTCARE = 0;
constexpr std::int32_t FW_THIN = 100;
constexpr std::int32_t FW_LIGHT = 300;
constexpr std::int32_t FW_NORMAL = 400;
constexpr std::int32_t FW_MEDIUM = 500;
constexpr std::int32_t FW_SEMIBOLD = 600;
constexpr std::int32_t FW_BOLD = 700;
constexpr std::int32_t FW_HEAVY = 900;

// Output precision (lfOutPrecision).
constexpr std::uint8_t OUT_DEFAULT_PRECIS = 0;
constexpr std::uint8_t OUT_TT_PRECIS = 4;
constexpr std::uint8_t OUT_TT_ONLY_PRECIS = 7;

// Clipping precision (lfClipPrecision); with CLIP_LH_ANGLES escapements follow the handedness of
// the logical coordinates: clockwise on the device under a mapping that flips one axis (y upward),
// counter-clockwise otherwise; without it, always counter-clockwise on the device.
constexpr std::uint8_t CLIP_DEFAULT_PRECIS = 0;
constexpr std::uint8_t CLIP_LH_ANGLES = 0x10;

// Quality (lfQuality).
constexpr std::uint8_t DEFAULT_QUALITY = 0;
constexpr std::uint8_t DRAFT_QUALITY = 1;
constexpr std::uint8_t PROOF_QUALITY = 2;

// Pitch and family (lfPitchAndFamily): pitch in the low two bits, family in the high nibble.
constexpr std::uint8_t DEFAULT_PITCH = 0;
constexpr std::uint8_t FIXED_PITCH = 1;
constexpr std::uint8_t VARIABLE_PITCH = 2;
constexpr std::uint8_t FF_DONTCARE = 0x00;
constexpr std::uint8_t FF_ROMAN = 0x10;
constexpr std::uint8_t FF_SWISS = 0x20;
constexpr std::uint8_t FF_MODERN = 0x30;

struct LOGFONTA
{
    static constexpr std::size_t RECORD_SIZE = 60;
    using Bytes = std::array<std::uint8_t, RECORD_SIZE>;

    std::int32_t lfHeight = 0; // < 0: character (em) height; > 0: cell height; logical units
    std::int32_t lfWidth = 0;
    std::int32_t lfEscapement = 0; // tenths of a degree
    std::int32_t lfOrientation = 0;
    std::int32_t lfWeight = 0;
    std::uint8_t lfItalic = 0;
    std::uint8_t lfUnderline = 0;
    std::uint8_t lfStrikeOut = 0;
    std::uint8_t lfCharSet = 0;
    std::uint8_t lfOutPrecision = 0;
    std::uint8_t lfClipPrecision = 0;
    std::uint8_t lfQuality = 0;
    std::uint8_t lfPitchAndFamily = 0;
    char lfFaceName[LF_FACESIZE] = {}; // CP932, NUL-terminated when shorter than 32 bytes

    // The record from / as its 60 file bytes. Every byte survives a round trip, the bytes after the
    // face name's terminator included.
    static LOGFONTA FromBytes(const std::uint8_t* bytes);
    static LOGFONTA FromBytes(const Bytes& bytes) { return FromBytes(bytes.data()); }
    void ToBytes(std::uint8_t* bytes) const;
    Bytes ToBytes() const;

    // The face name up to its terminator (at most 32 bytes).
    std::string FaceName() const;
    // Sets the face name, cut to 31 bytes without splitting a double-byte character, and clears
    // the rest of the field.
    void SetFaceName(std::string_view cp932);

    bool operator==(const LOGFONTA& other) const;
};

static_assert(sizeof(LOGFONTA) == LOGFONTA::RECORD_SIZE, "LOGFONTA must keep the 60-byte file layout");
