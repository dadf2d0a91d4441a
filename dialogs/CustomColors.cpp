#include "dialogs/CustomColors.h"

#include "controls/GfxMenuStyle.h"
#include "platform/Profile.h"

#include <QColorDialog>
#include <cstdint>
#include <vector>

namespace {

constexpr int kCustom = 16;

std::vector<std::uint8_t> CurrentCustomColours()
{
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < kCustom; ++i) {
        const COLORREF c = ToColorRef(QColorDialog::customColor(i));
        for (int b = 0; b < 4; ++b)
            bytes.push_back(static_cast<std::uint8_t>(c >> (8 * b)));
    }
    return bytes;
}

} // namespace

std::optional<COLORREF> ChooseSolidColour(QWidget* parent, COLORREF initial)
{
    platform::Profile& profile = platform::GetProfile();
    std::vector<std::uint8_t> stored;
    if (!profile.GetBinary("Color", "Custom", stored)) {
        profile.SetBinary("Color", "Custom", CurrentCustomColours());
    } else if (stored.size() == 4 * kCustom) {
        for (int i = 0; i < kCustom; ++i) {
            COLORREF c = 0;
            for (int b = 0; b < 4; ++b)
                c |= static_cast<COLORREF>(stored[static_cast<std::size_t>(4 * i + b)]) << (8 * b);
            QColorDialog::setCustomColor(i, ToQColor(c));
        }
    }
    QColorDialog dialog(ToQColor(initial), parent);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    profile.SetBinary("Color", "Custom", CurrentCustomColours());
    return ToColorRef(dialog.selectedColor());
}
