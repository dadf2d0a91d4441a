#pragma once
// The texts the board view shows in the status bar: coordinates, lengths and angles of the input
// in progress, and the prompt of each input command. Numbers are formatted in the C locale.

#include <QString>

class ViewStatusText
{
public:
    // Direction from (x0, y0) to (x1, y1) in degrees: [0, 360), or (-180, 180] when signed; 0 for
    // a zero length.
    static double Angle(double dx, double dy, bool signedAngle);
    // Line, surface and cutter input: the end relative to the start, or absolute.
    static QString LineText(double x0, double y0, double x1, double y1, bool relative);
    // Arc input choosing its end: radius and angle of the cursor about the centre.
    static QString ArcEndText(double cx, double cy, double x, double y, bool relative);
    // Arc input otherwise: cursor, radius, start and end angle.
    static QString ArcText(double x, double y, double radius, double start, double end);
    // Part-number click assignment.
    static QString PartNumberText(double x, double y, const QString& prefix, int number,
                                  const QString& suffix);
    // What shows when no command has its own text.
    static QString DefaultText(int layer, int turret, int via, double x, double y, unsigned command, int busy,
                               int counter, int boardParts, int selectionParts, double selectionLength);
    // The prompt of a command: while busy the keys of the input, else what to click. lockMode is
    // the input's lock mode.
    static QString Prompt(int command, bool busy, int lockMode);
    static QString LineLockLabel(int lockMode);
    static QString ArcLockLabel(int lockMode);

    // printf into a QString in the C locale.
    static QString Format(const char* format, ...);
};
