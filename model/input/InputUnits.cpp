#include "model/input/InputUnits.h"

#include "platform/J.h"

#include <cmath>

double CInputUnits::Factor(int unit, const tagGRID& grid, int index)
{
    switch (unit) {
    case Inch:
        return 25.4;
    case Mil:
        return 0.0254;
    case Grid:
        return index == 0 ? grid.xPitch : grid.yPitch;
    default:
        return 1.0;
    }
}

int CInputUnits::Usable(int unit, const tagGRID& grid)
{
    if (unit < Millimetre || unit > Grid)
        return Millimetre;
    if (unit == Grid && grid.kind != 0)
        return Millimetre;
    return unit;
}

double CInputUnits::FoldAngle(double degrees)
{
    // fmod rather than repeated subtraction, so that a huge angle cannot hang the dialog.
    double a = std::fmod(degrees, 360.0);
    if (a < 0.0)
        a += 360.0;
    if (a >= 360.0)
        a -= 360.0;
    if (a > 180.0)
        a -= 360.0;
    return a;
}

std::string CInputUnits::ZeroCheck(double x, double y, double angle, bool scale)
{
    constexpr double Tolerance = 1e-6;
    const auto zero = [](double v) { return std::fabs(v) < Tolerance; };
    if (!scale)
        return zero(x) && zero(y) && zero(angle) ? _J("移動データが0になりました") : std::string();
    if (zero(x - 1.0) && zero(y - 1.0))
        return _J("スケールが1になりました");
    if (zero(x) && zero(y))
        return _J("スケールが0になりました");
    return std::string();
}

void CInputUnits::StepPoint(int kind, double a, double b, double& x, double& y)
{
    x = 0.0;
    y = 0.0;
    switch (kind) {
    case StepUp:
        y = a;
        break;
    case StepDown:
        y = -a;
        break;
    case StepLeft:
        x = -a;
        break;
    case StepRight:
        x = a;
        break;
    case StepScale:
        x = a;
        y = b;
        break;
    default:
        break;
    }
}
