// Cutter edits: the user draws a cutter path (kept as the lines of the board's via and part
// sheet) across lines and arcs that the document has moved into this selection sheet; the edits
// chamfer, round, divide, offset or trim them. New items are made in a work sheet and added at the
// end, less those that already lie on the board.

#include "model/items/Arc.h"
#include "model/items/Line.h"
#include "model/items/StrokeSupport.h"
#include "model/services/DocumentServices.h"
#include "model/sheet/Sheet.h"
#include "model/sheet/SheetItems.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <utility>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kLineTypeMask = 0xE00;
constexpr int kNamedAuto = 0x1000;
constexpr int kAutoBits = 0x6000;


// The cutter path: the lines of the board's via and part sheet, in list order.
std::vector<CLine*> CutterPath(CSheet& sheet)
{
    DocumentServices* doc = sheet.GetDocument();
    CSheet* path = doc ? doc->GetBoardSheet(LAYER_MAX) : nullptr;
    return path ? ListItems<CLine>(*path, KIND_LINE) : std::vector<CLine*>();
}

// The end of the line farther from p by Manhattan distance (the end point on a tie).
CDPoint FarEnd(const CLine* line, const CDPoint& p)
{
    return p.GetMLength(line->GetStartPoint()) > p.GetMLength(line->GetEndPoint()) ? line->GetStartPoint()
                                                                                   : line->GetEndPoint();
}

CDPoint MovedEnd(const CLine* line, int which)
{
    return which == 1 ? line->GetStartPoint() : line->GetEndPoint();
}

int Magnitude(int count)
{
    return count == INT_MIN ? INT_MAX : std::abs(count);
}

bool Remeasured(int type)
{
    return (type & kNamedAuto) && (type & kAutoBits);
}

// The longer of two lines and the other; on equal lengths firstOnTie decides.
std::pair<CLine*, CLine*> LongerFirst(CLine* a, CLine* b, bool firstOnTie)
{
    const double la = a->GetLength(), lb = b->GetLength();
    if (la > lb || (la == lb && firstOnTie))
        return {a, b};
    return {b, a};
}

} // namespace

// Pairs of lines the cutter path crosses: a counter kept over the whole path, so a path line that
// crosses one line leaves it waiting for the next path line's first crossing.
template <class Handle> static void GatherCutterPairs(CSheet& sheet, Handle&& handle)
{
    int counter = 0;
    CLine* first = nullptr;
    for (CLine* path : CutterPath(sheet)) {
        for (POSITION pos = sheet.GetFirstLinePos(); pos;) {
            CLine* line = sheet.GetNextLine(pos);
            CDPoint at;
            if (!line->CrossAPoint(*path, &at))
                continue;
            line->SetFxRatio(at);
            if (counter == 0)
                first = line;
            if (++counter == 2) {
                if (first != line)
                    handle(first, line);
                counter = 0;
                break;
            }
        }
    }
}

// The common ending of the edits that build their items in a work sheet.
static void FinishCutterEdit(CSheet& sheet, CSheet& work)
{
    work.CleanDupItem();
    DocumentServices* doc = sheet.GetDocument();
    CSheet* board = doc ? doc->GetBoardSheet(doc->GetCurrentLayer()) : nullptr;
    if (board && board != &sheet) {
        for (POSITION pos = board->GetFirstLinePos(); pos && !work.IsEmpty();)
            work.DeleteLine(*board->GetNextLine(pos));
    }
    sheet += work;
    sheet.CleanZeroLine();
    work.DeleteContents();
}

void CSheet::CornerItem(double first, double second)
{
    const bool symmetric = first != 0.0 && second == 0.0;
    const double half = first * 0.5;
    CSheet work(SHEET_WORK);
    GatherCutterPairs(*this, [&](CLine* f, CLine* s) {
        auto [longer, shorter] = LongerFirst(f, s, false);
        CDPoint corner;
        if (!longer->CrossPoint(*shorter, &corner))
            return;
        double cutF = first, cutS = second;
        if (symmetric) {
            const double a1 = corner.GetAngle(FarEnd(s, corner));
            const double a2 = corner.GetAngle(FarEnd(f, corner));
            double t = std::fabs(a1 - a2);
            if (t > kPi)
                t = 2 * kPi - t;
            const double sine = std::sin(t * 0.5);
            if (!(std::fabs(sine) > 1e-12))
                return;
            cutF = cutS = half / sine;
        }
        const int movedF = f->TrimPoint(corner, cutF);
        const int movedS = s->TrimPoint(corner, cutS);
        if (movedF == 0 || movedS == 0)
            return;
        CLine* chamfer = work.NewLine(MovedEnd(f, movedF), MovedEnd(s, movedS), f->GetTurretNo(), 0);
        chamfer->ModifyType(f->GetType() & kLineTypeMask, kLineTypeMask);
    });
    FinishCutterEdit(*this, work);
}

void CSheet::CornerRoundItem(double radius)
{
    if (std::fabs(radius) <= 1e-6 || radius < 0.0)
        return;
    CSheet work(SHEET_WORK);
    GatherCutterPairs(*this, [&](CLine* f, CLine* s) {
        auto [l, k] = LongerFirst(s, f, true);
        CDPoint corner;
        if (!l->CrossPoint(*k, &corner))
            return;
        double a1 = corner.GetAngle(FarEnd(l, corner));
        double a2 = corner.GetAngle(FarEnd(k, corner));
        const double tangent = std::fabs(std::tan((a2 - a1) * 0.5));
        const double cut = radius / tangent;
        if (!std::isfinite(cut))
            return;
        const int movedL = l->TrimPoint(corner, cut);
        const int movedK = k->TrimPoint(corner, cut);
        if (movedL == 0 || movedK == 0)
            return;
        CDPoint t1 = MovedEnd(l, movedL), t2 = MovedEnd(k, movedK);
        if (std::fabs(a2) < std::fabs(a1)) {
            std::swap(a1, a2);
            std::swap(t1, t2);
        }
        CDPoint r1 = t1, r2 = t2;
        r1.Rotate(corner, -a1);
        r2.Rotate(corner, -a1);
        CArc arc;
        CDPoint centre(r1.x, r1.y);
        if (r2.y < corner.y) {
            centre.y = r1.y - radius;
        } else {
            centre.y = r1.y + radius;
            arc.ModifyType(0x100, 0);
        }
        centre.Rotate(corner, a1);
        arc.SetArcPoint(centre, t1, t2);
        const CLine* thinner = k->GetLineWidth() < l->GetLineWidth() ? k : l;
        arc.SetTurretNo(thinner->GetTurretNo(), false);
        arc.ModifyType(k->GetType() & kLineTypeMask, kLineTypeMask);
        work.NewArc(arc);
    });
    FinishCutterEdit(*this, work);
}

void CSheet::DivideItem(int count)
{
    const int n = Magnitude(count);
    const bool ladder = count <= 0;
    CSheet work(SHEET_WORK);
    if (n > 1) {
        const tagDIMS style = GetBoardDimensionStyle();
        for (CArc* arc : ListItems<CArc>(*this, KIND_ARC)) {
            const double start = arc->GetStartAngle();
            const bool circle = std::fabs(start - arc->GetEndAngle()) < 0.001;
            const double step = (circle ? 2 * kPi : arc->GetAngle()) / n;
            for (int i = 0; i < n; ++i) {
                CArc piece(*arc);
                piece.SetStartAngle(start + i * step);
                piece.SetEndAngle(i == n - 1 ? arc->GetEndAngle() : start + (i + 1) * step);
                piece.ResetBounding();
                if (Remeasured(piece.GetType()))
                    piece.ChangeDimension();
                work.NewArc(piece);
            }
            const CArc divided(*arc);
            DeleteArc(divided);
        }
        if (GetKindCount(KIND_LINE) == 1) {
            CLine* line = GetHeadLine();
            const CDPoint start = line->GetStartPoint(), end = line->GetEndPoint();
            const CDPoint step((end.x - start.x) / n, (end.y - start.y) / n);
            for (int i = 0; i < n; ++i) {
                CLine piece(*line);
                piece.SetStartPoint(start + step * i);
                piece.SetEndPoint(i == n - 1 ? end : start + step * (i + 1));
                if (Remeasured(piece.GetType()))
                    piece.SetDimension(style);
                work.NewLine(piece);
            }
            const CLine divided(*line);
            DeleteLine(divided);
        }
    }
    if (ladder) {
        GatherCutterPairs(*this, [&](CLine* f, CLine* s) {
            const CDPoint a0 = f->GetStartPoint(), b0 = f->GetEndPoint();
            const bool endFarther = a0.GetMLength(s->GetEndPoint()) > a0.GetMLength(s->GetStartPoint());
            const CDPoint a1 = endFarther ? s->GetStartPoint() : s->GetEndPoint();
            const CDPoint b1 = endFarther ? s->GetEndPoint() : s->GetStartPoint();
            for (int k = 1; k < n; ++k) {
                const double r = static_cast<double>(k) / n;
                work.NewLine(CDPoint(a0.x + (a1.x - a0.x) * r, a0.y + (a1.y - a0.y) * r),
                             CDPoint(b0.x + (b1.x - b0.x) * r, b0.y + (b1.y - b0.y) * r), f->GetTurretNo(),
                             f->GetType());
            }
        });
    }
    FinishCutterEdit(*this, work);
}

void CSheet::OffsetItem(double distance, int count)
{
    const int n = Magnitude(count);
    const bool edge = count > 0;
    CSheet work(SHEET_WORK);
    auto edgeStep = [edge](double step, double width) {
        if (!edge)
            return step;
        return step > 0.0 ? step + width : step - width;
    };
    for (CArc* arc : ListItems<CArc>(*this, KIND_ARC)) {
        const double step = edgeStep(distance, arc->GetLineWidth());
        for (int i = 1; i <= n; ++i) {
            const double r = arc->GetRadius() + i * step;
            if (!(r > 0.0))
                continue;
            CArc copy(*arc);
            copy.SetRadius(r);
            copy.ResetBounding();
            if (Remeasured(copy.GetType()))
                copy.ChangeDimension();
            work.NewArc(copy);
        }
    }
    const std::vector<CLine*> path = CutterPath(*this);
    for (CLine* line : ListItems<CLine>(*this, KIND_LINE)) {
        int crossings = 0;
        std::uint32_t firstRatio = 0;
        double step = distance;
        for (CLine* p : path) {
            CDPoint at;
            if (!line->CrossAPoint(*p, &at))
                continue;
            line->SetFxRatio(at);
            if (++crossings == 1) {
                firstRatio = line->GetFxRatio();
                continue;
            }
            if (line->GetFxRatio() < firstRatio)
                step = -step;
            break;
        }
        if (crossings < 2)
            continue;
        step = edgeStep(step, line->GetLineWidth());
        const CDPoint start = line->GetStartPoint(), end = line->GetEndPoint();
        const double a = start.GetAngle(end);
        // Perpendicular to the line, to its left.
        const CDPoint normal(-std::sin(a), std::cos(a));
        for (int j = 1; j <= n; ++j) {
            CLine copy(*line);
            copy.SetStartPoint(start + normal * (j * step));
            copy.SetEndPoint(end + normal * (j * step));
            work.NewLine(copy);
        }
    }
    FinishCutterEdit(*this, work);
}

// Makes two lines meet at the crossing of their extensions; parallel lines of one turret are
// joined instead. The first counts as the longer on equal lengths.
static void TrimLinePair(CSheet& sheet, CLine* a, CLine* b)
{
    auto [longer, shorter] = LongerFirst(a, b, true);
    CDPoint corner;
    if (longer->CrossPoint(*shorter, &corner)) {
        longer->TrimPoint(corner, 0.0);
        shorter->TrimPoint(corner, 0.0);
    } else if (longer->GetTurretNo() == shorter->GetTurretNo() && longer->TrimLine(shorter)) {
        const CLine joined(*shorter);
        sheet.DeleteLine(joined);
    }
}

void CSheet::TrimItem()
{
    if (GetKindCount(KIND_ARC) > 0) {
        std::vector<CItemBase*> gathered;
        for (CLine* path : CutterPath(*this)) {
            for (POSITION pos = GetFirstLinePos(); pos && gathered.size() < 2;) {
                CLine* line = GetNextLine(pos);
                CDPoint at;
                if (line->CrossAPoint(*path, &at)) {
                    line->SetFxRatio(at);
                    gathered.push_back(line);
                }
            }
            for (POSITION pos = GetFirstArcPos(); pos && gathered.size() < 2;) {
                CArc* arc = GetNextArc(pos);
                CDPoint at[2];
                const int hit = path->CrossAPoint(*arc, at);
                if ((hit == 1 || hit == 2) && (gathered.empty() || gathered.front() != arc)) {
                    arc->SetFxRatio(at[hit - 1]);
                    gathered.push_back(arc);
                }
            }
            if (gathered.size() < 2)
                continue;
            CItemBase* a = gathered[0];
            CItemBase* b = gathered[1];
            gathered.clear();
            if (a == b)
                continue;
            if (a->GetKind() == KIND_ARC && b->GetKind() == KIND_LINE)
                std::swap(a, b);
            CDPoint points[2];
            if (a->GetKind() == KIND_LINE && b->GetKind() == KIND_LINE) {
                TrimLinePair(*this, static_cast<CLine*>(a), static_cast<CLine*>(b));
            } else if (a->GetKind() == KIND_LINE) {
                auto* line = static_cast<CLine*>(a);
                auto* arc = static_cast<CArc*>(b);
                const int found = line->CrossPoint(arc, points);
                if (found == 0)
                    continue;
                if (found == 1)
                    points[1] = points[0];
                const int moved = arc->TrimPoint(points[0], points[1]);
                if (moved == 0)
                    continue;
                line->TrimPoint(moved == 2 ? arc->GetEndPoint() : arc->GetStartPoint(), 0.0);
            } else {
                auto* first = static_cast<CArc*>(a);
                auto* second = static_cast<CArc*>(b);
                const int found = first->CrossPoint(second, points);
                if (found == 0)
                    continue;
                if (found == 1)
                    points[1] = points[0];
                first->TrimPoint(points[0], points[1]);
                second->TrimPoint(points[0], points[1]);
            }
        }
        return;
    }
    std::vector<CLine*> lines = ListItems<CLine>(*this, KIND_LINE);
    const std::size_t half = lines.size() / 2;
    for (std::size_t i = 0; i < half; ++i)
        TrimLinePair(*this, lines[i], lines[i + half]);
}
