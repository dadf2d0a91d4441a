// The sheet's sorts of lands, terminals, holes, lines and texts, and the ordering of lines along a
// cutter path. All are the selection sort of ItemSort.h, which keeps every position a caller holds
// valid.

#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/sheet/ItemSort.h"
#include "model/sheet/Sheet.h"
#include "platform/Numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

// The hole order as keys, when its tolerances allow it: the sizes that are near one another
// (within the order's tolerance) must fall into clean classes, each all near one another and near
// nothing outside. Then "near" is "same class" and the order is the keys' strict weak order.
// Otherwise (or with a size or an x + y that is not a number) the order is no strict weak order
// and only the literal sort gives its result.
struct HoleKey
{
    int shape;
    int plain; // 0 for through holes, which come first
    int dia;
    int width;
    int radius;
    double sum;

    bool operator<(const HoleKey& o) const
    {
        if (shape != o.shape)
            return shape < o.shape;
        if (plain != o.plain)
            return plain < o.plain;
        if (dia != o.dia)
            return dia < o.dia;
        if (width != o.width)
            return width < o.width;
        if (radius != o.radius)
            return radius < o.radius;
        return sum < o.sum;
    }
};

// The class of every value: the distinct values in order, and the class of each. False when the
// values do not fall into clean classes or one is not finite.
class SizeClasses
{
public:
    bool Build(std::vector<double> values)
    {
        for (double v : values)
            if (!std::isfinite(v))
                return false;
        std::sort(values.begin(), values.end());
        values.erase(std::unique(values.begin(), values.end()), values.end());
        m_values = std::move(values);
        m_class.assign(m_values.size(), 0);
        std::size_t first = 0; // the first value of the current class
        for (std::size_t i = 1; i <= m_values.size(); ++i) {
            if (i < m_values.size() && CHole::SizesNear(m_values[i - 1], m_values[i])) {
                m_class[i] = m_class[i - 1];
                continue;
            }
            // The class ends at i - 1: its ends near each other make all its members near one
            // another (the difference of doubles grows with their distance), and the gap to the
            // next value, not near, keeps every member apart from every value beyond it.
            if (!CHole::SizesNear(m_values[first], m_values[i - 1]))
                return false;
            if (i < m_values.size()) {
                m_class[i] = m_class[i - 1] + 1;
                first = i;
            }
        }
        return true;
    }

    int Of(double value) const
    {
        const auto at = std::lower_bound(m_values.begin(), m_values.end(), value);
        return m_class[static_cast<std::size_t>(at - m_values.begin())];
    }

private:
    std::vector<double> m_values;
    std::vector<int> m_class;
};

// The keys of the list's holes in list order; false when the order needs the literal sort.
bool MakeHoleKeys(CItemList& list, std::vector<HoleKey>& keys)
{
    // One walk over the holes; the size classes are filled in afterwards.
    struct Sizes
    {
        double dia, width, radius;
    };
    const std::size_t count = static_cast<std::size_t>(list.GetCount());
    std::vector<Sizes> sizes;
    sizes.reserve(count);
    keys.clear();
    keys.reserve(count);
    std::vector<double> dias;
    std::vector<double> widths;
    std::vector<double> radii;
    dias.reserve(count);
    for (CItemBase* item : list) {
        const CHole* hole = static_cast<const CHole*>(item);
        const CDPoint& p = hole->GetPoint();
        const double sum = p.x + p.y;
        if (std::isnan(sum))
            return false;
        const Sizes size{hole->GetHoleDia(), hole->GetHoleWidth(), hole->GetHoleRadius()};
        dias.push_back(size.dia);
        if (!hole->IsHole()) {
            widths.push_back(size.width);
            radii.push_back(size.radius);
        }
        sizes.push_back(size);
        keys.push_back(HoleKey{hole->GetHoleShape(), hole->IsThroughHole() ? 0 : 1, 0, 0, 0, sum});
    }
    SizeClasses dia;
    SizeClasses width;
    SizeClasses radius;
    if (!dia.Build(std::move(dias)) || !width.Build(std::move(widths)) || !radius.Build(std::move(radii)))
        return false;
    for (std::size_t i = 0; i < count; ++i) {
        HoleKey& key = keys[i];
        key.dia = dia.Of(sizes[i].dia);
        // Width and corner radius count only for shaped holes (the shape is compared first).
        if (key.shape != 0) {
            key.width = width.Of(sizes[i].width);
            key.radius = radius.Of(sizes[i].radius);
        }
    }
    return true;
}

} // namespace

int CSheet::SortLand()
{
    InvalidateIndex(); // the lists change order
    return SelectionSort<CLand>(*ListOf(KIND_LAND));
}

int CSheet::SortTerNo()
{
    InvalidateIndex(); // the lists change order
    CItemList& list = *ListOf(KIND_TER);
    std::vector<std::int32_t> keys;
    keys.reserve(static_cast<std::size_t>(list.GetCount()));
    // A number without leading digits ("A1") counts 0.
    for (CItemBase* item : list)
        keys.push_back(platform::Atoi(static_cast<CTer*>(item)->GetNo()));
    return SelectionSortByKey(list, keys);
}

int CSheet::SortHole()
{
    InvalidateIndex(); // the lists change order
    CItemList& list = *ListOf(KIND_HOLE);
    std::vector<HoleKey> keys;
    if (MakeHoleKeys(list, keys))
        return SelectionSortByKey(list, keys);
    return SelectionSort<CHole>(list);
}

int CSheet::SortLine()
{
    InvalidateIndex(); // the lists change order
    return SelectionSort<CLine>(*ListOf(KIND_LINE));
}

int CSheet::SortText()
{
    InvalidateIndex(); // the lists change order
    return SelectionSort<CText>(*ListOf(KIND_TEXT));
}

int CSheet::SortLinebyFxPoint(const CLine& reference)
{
    InvalidateIndex(); // the lists change order
    CItemList& list = *ListOf(KIND_LINE);
    const int count = list.GetCount();
    if (count == 0)
        return 0;
    if (count == 1)
        return 1;
    // Copies of the lines turned about the reference's start so that the reference runs along +x:
    // each line's recorded crossing then lies at the x of its ratio point. Turning a whole copy of
    // the sheet would turn these lines the same way; the other kinds play no part.
    CLine ref(reference);
    const double angle = ref.GetAngle();
    const CDPoint centre = ref.GetStartPoint();
    std::vector<std::uint32_t> keys;
    keys.reserve(static_cast<std::size_t>(count));
    for (CItemBase* item : list) {
        CLine copy(*static_cast<CLine*>(item));
        copy.SetParent(nullptr);
        copy.Rotate(centre, -angle);
        // The 16.16 value as its 32-bit word, compared unsigned (crossings left of the start sort
        // after every crossing right of it).
        const FIXED x = copy.GetFxRatioX();
        keys.push_back((static_cast<std::uint32_t>(static_cast<std::uint16_t>(x.value)) << 16) | x.fract);
    }
    SelectionSortByKey(list, keys);
    return 1;
}
