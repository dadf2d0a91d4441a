#pragma once
// The messages of a dialog field outside its range (CP932), the one pair every dialog uses.

#include <string>

namespace platform {

// "%1 から %2 までの整数を入力してください。"
std::string IntRangeText(int minimum, int maximum);
// "%1 から %2 までの数値を入力してください。"
std::string NumberRangeText(double minimum, double maximum);

} // namespace platform
