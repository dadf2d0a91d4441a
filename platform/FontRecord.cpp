#include "platform/FontRecord.h"

#include "platform/Cp932.h"

#include <algorithm>
#include <cstring>

namespace {

std::int32_t GetInt32(const std::uint8_t* p)
{
    return static_cast<std::int32_t>(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                                     std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24);
}

void PutInt32(std::uint8_t* p, std::int32_t v)
{
    const auto u = static_cast<std::uint32_t>(v);
    p[0] = static_cast<std::uint8_t>(u);
    p[1] = static_cast<std::uint8_t>(u >> 8);
    p[2] = static_cast<std::uint8_t>(u >> 16);
    p[3] = static_cast<std::uint8_t>(u >> 24);
}

} // namespace

LOGFONTA LOGFONTA::FromBytes(const std::uint8_t* p)
{
    LOGFONTA lf;
    lf.lfHeight = GetInt32(p);
    lf.lfWidth = GetInt32(p + 4);
    lf.lfEscapement = GetInt32(p + 8);
    lf.lfOrientation = GetInt32(p + 12);
    lf.lfWeight = GetInt32(p + 16);
    lf.lfItalic = p[20];
    lf.lfUnderline = p[21];
    lf.lfStrikeOut = p[22];
    lf.lfCharSet = p[23];
    lf.lfOutPrecision = p[24];
    lf.lfClipPrecision = p[25];
    lf.lfQuality = p[26];
    lf.lfPitchAndFamily = p[27];
    std::memcpy(lf.lfFaceName, p + 28, LF_FACESIZE);
    return lf;
}

void LOGFONTA::ToBytes(std::uint8_t* p) const
{
    PutInt32(p, lfHeight);
    PutInt32(p + 4, lfWidth);
    PutInt32(p + 8, lfEscapement);
    PutInt32(p + 12, lfOrientation);
    PutInt32(p + 16, lfWeight);
    p[20] = lfItalic;
    p[21] = lfUnderline;
    p[22] = lfStrikeOut;
    p[23] = lfCharSet;
    p[24] = lfOutPrecision;
    p[25] = lfClipPrecision;
    p[26] = lfQuality;
    p[27] = lfPitchAndFamily;
    std::memcpy(p + 28, lfFaceName, LF_FACESIZE);
}

LOGFONTA::Bytes LOGFONTA::ToBytes() const
{
    Bytes bytes{};
    ToBytes(bytes.data());
    return bytes;
}

std::string LOGFONTA::FaceName() const
{
    const char* end = std::find(lfFaceName, lfFaceName + LF_FACESIZE, '\0');
    return std::string(lfFaceName, end);
}

void LOGFONTA::SetFaceName(std::string_view cp932)
{
    std::size_t len = 0;
    for (const platform::Cp932Char c : platform::Chars(cp932)) {
        if (c.pos + c.width > LF_FACESIZE - 1)
            break;
        len = c.pos + c.width;
    }
    std::memset(lfFaceName, 0, LF_FACESIZE);
    std::memcpy(lfFaceName, cp932.data(), len);
}

bool LOGFONTA::operator==(const LOGFONTA& other) const
{
    return ToBytes() == other.ToBytes();
}
