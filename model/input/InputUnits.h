#pragma once
// Units, angles and the refusal rules of the point and number input dialogs: typed values are
// multiplied by the unit's factor to give millimetres (or scale factors).

#include "model/services/Records.h"

#include <string>

class CInputUnits
{
public:
    enum Unit
    {
        Millimetre = 0,
        Inch = 1,
        Mil = 2,
        Grid = 3
    };
    enum StepKind
    {
        StepUp,
        StepDown,
        StepLeft,
        StepRight,
        StepScale
    };

    // The grid status byte of a dialog that was given no grid.
    static constexpr std::uint8_t NoGrid = 255;

    // The factor of a unit for the first (index 0) or second value; the grid's pitches for Grid.
    static double Factor(int unit, const tagGRID& grid, int index);
    // A remembered unit as the dialog can offer it: unknown units and a grid unit without a
    // lattice grid become millimetres.
    static int Usable(int unit, const tagGRID& grid);
    // The angle brought into -180..180 (180 itself stays).
    static double FoldAngle(double degrees);
    // The message that refuses a result: a move of nothing, or a scale of 1 or 0 (empty when
    // the result is accepted).
    static std::string ZeroCheck(double x, double y, double angle, bool scale);
    // The point of an arrow or scale step for the typed values a and b.
    static void StepPoint(int kind, double a, double b, double& x, double& y);
};
