#include "app/ViewStatusText.h"

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <locale.h>
#include <numbers>

namespace {

// Commands of the Input menu.
constexpr int kLand = 32911;
constexpr int kText = 32912;
constexpr int kPart = 32913;
constexpr int kArc = 32914;
constexpr int kVia = 32915;
constexpr int kHole = 32916;
constexpr int kSurface = 32917;
constexpr int kTerminal = 32918;
constexpr int kLine = 32910;

} // namespace

QString ViewStatusText::Format(const char* format, ...)
{
    // The user's locale must not turn decimal points into commas.
    static locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", nullptr);
    const locale_t previous = uselocale(cLocale);
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    uselocale(previous);
    return QString::fromUtf8(buffer);
}

double ViewStatusText::Angle(double dx, double dy, bool signedAngle)
{
    const double length = std::hypot(dx, dy);
    if (length == 0.0)
        return 0.0;
    double angle = std::acos(std::clamp(dx / length, -1.0, 1.0)) * 180.0 / std::numbers::pi;
    if (dy < 0.0)
        angle = 360.0 - angle;
    if (angle >= 360.0)
        angle -= 360.0;
    if (signedAngle && angle > 180.0)
        angle -= 360.0;
    return angle;
}

QString ViewStatusText::LineText(double x0, double y0, double x1, double y1, bool relative)
{
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double length = std::hypot(dx, dy);
    if (relative)
        return Format("dX:%+#.8G dY:%+#.8G L:%#.8G A:%+#.8G", dx, dy, length, Angle(dx, dy, true));
    return Format("X:%#.8G Y:%#.8G L:%#.8G A:%#.8G", x1, y1, length, Angle(dx, dy, false));
}

QString ViewStatusText::ArcEndText(double cx, double cy, double x, double y, bool relative)
{
    const double dx = x - cx;
    const double dy = y - cy;
    const double radius = std::hypot(dx, dy);
    if (relative)
        return Format("dX:%+#.8G dY:%+#.8G R:%#.8G A:%+#.8G", dx, dy, radius, Angle(dx, dy, true));
    return Format("X:%#.8G Y:%#.8G R:%#.8G A:%#.8G", x, y, radius, Angle(dx, dy, false));
}

QString ViewStatusText::ArcText(double x, double y, double radius, double start, double end)
{
    return Format("X:%#.8G Y:%#.8G R:%#.8G S:%#.8G E:%#.8G", x, y, radius, start, end);
}

QString ViewStatusText::PartNumberText(double x, double y, const QString& prefix, int number,
                                       const QString& suffix)
{
    return Format("X:%#.8G Y:%#.8G ", x, y) + QStringLiteral("基準部品 ") + prefix + QString::number(number) +
           suffix;
}

QString ViewStatusText::DefaultText(int layer, int turret, int via, double x, double y, unsigned command,
                                    int busy, int counter, int boardParts, int selectionParts,
                                    double selectionLength)
{
    return Format("L:%d T:%d V:%d X:%#.6G Y:%#.6G [%u,%d,%d,%d,%d] Len = %.3f", layer + 1, turret, via, x, y,
                  command, busy, counter, boardParts, selectionParts, selectionLength);
}

QString ViewStatusText::LineLockLabel(int lockMode)
{
    switch (lockMode) {
    case 1:
        return QStringLiteral("45度");
    case 2:
        return QStringLiteral("90度");
    default:
        return QStringLiteral("フリー");
    }
}

QString ViewStatusText::ArcLockLabel(int lockMode)
{
    switch (lockMode) {
    case 1:
        return QStringLiteral("15度");
    case 2:
        return QStringLiteral("45度");
    default:
        return QStringLiteral("フリー");
    }
}

QString ViewStatusText::Prompt(int command, bool busy, int lockMode)
{
    const QString surface = QStringLiteral("Backspace:直前取消 L+/:入力モード ") + LineLockLabel(lockMode);
    const QString turn = QStringLiteral("R:回転 XY:反転 ");
    if (busy) {
        switch (command) {
        case kLine:
            return QStringLiteral("F5:寸法 F6:始点矢印 F7:終点矢印 A:円ライン切替 ") + surface;
        case kSurface:
            return surface;
        case kText:
            return turn + QStringLiteral("1-9:基点");
        case kPart:
            return turn;
        case kTerminal:
            return turn + QStringLiteral("+-:番号増減");
        default:
            return QString();
        }
    }
    switch (command) {
    case kLand:
        return QStringLiteral("ランドか、何もないところをクリック");
    case kText:
        return QStringLiteral("文字か、何もないところをクリック");
    case kPart:
        return QStringLiteral("入力したい部品か、何もないところをクリック");
    case kArc:
        return QStringLiteral("円弧の中心をクリック");
    case kVia:
        return QStringLiteral("ビアか、何もないところをクリック");
    case kHole:
        return QStringLiteral("ホールか、何もないところをクリック");
    case kTerminal:
        return QStringLiteral("端子か、何もないところをクリック");
    case kLine:
    case kSurface:
        return QStringLiteral("始点をクリック");
    default:
        return QString();
    }
}
