#pragma once
// Which font file a logical font's face stands for. Text measured and outlined by the model and
// text drawn by a drawing context must come from the same face, or drawn widths drift from
// measured ones; the model knows how face names map onto installed faces, so its start-up
// (InstallQuarnHooks) installs a resolver here and the drawing contexts ask it. Without a
// resolver, contexts choose faces their own way.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct ResolvedFace
{
    std::string file;   // font file path
    int index = 0;      // face index within the file
    std::string family; // the face's own family name (UTF-8); may be empty
};

// faceName: CP932 bytes (up to a NUL); charSet: lfCharSet; weight: lfWeight (0 = normal);
// italic: lfItalic != 0. Nothing when no face could be found.
using FaceResolver = std::optional<ResolvedFace> (*)(std::string_view faceName, int charSet, int weight,
                                                     bool italic);

// Installs a resolver (null removes it) and returns the one it replaces.
FaceResolver SetFaceResolver(FaceResolver resolver);
FaceResolver GetFaceResolver();

} // namespace platform
