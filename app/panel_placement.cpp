#include "app/panel_placement.h"

#include <algorithm>
#include <cstdlib>
#include <tuple>

namespace vantrel {

namespace {

long long Area(const QRect& a, const QRect& b) {
    const QRect overlap = a & b;
    return overlap.isEmpty() ? 0 : static_cast<long long>(overlap.width()) * overlap.height();
}

// Positions worth trying along one axis: the bounds' two ends, and each rectangle's two sides
// with the panel just beyond them.
std::vector<int> Candidates(int low, int high, int length, const std::vector<QRect>& forbidden,
                            const std::vector<AvoidedArea>& avoided, bool horizontal, int preferred) {
    std::vector<int> at{low, high - length + 1, preferred};
    auto add = [&](const QRect& r) {
        const int first = horizontal ? r.left() : r.top();
        const int last = horizontal ? r.right() : r.bottom();
        at.push_back(last + 1);
        at.push_back(first - length);
    };
    for (const QRect& r : forbidden) add(r);
    for (const AvoidedArea& a : avoided) add(a.rect);
    std::vector<int> kept;
    for (int v : at)
        if (v >= low && v + length - 1 <= high) kept.push_back(v);
    std::sort(kept.begin(), kept.end());
    kept.erase(std::unique(kept.begin(), kept.end()), kept.end());
    return kept;
}

}  // namespace

PanelPlacement PlacePanel(QSize size, const QRect& bounds, const std::vector<QRect>& forbidden,
                          const std::vector<AvoidedArea>& avoided, QPoint preferred) {
    const QSize fitted = size.boundedTo(bounds.size()).expandedTo(QSize(1, 1));
    const std::vector<int> xs =
        Candidates(bounds.left(), bounds.right(), fitted.width(), forbidden, avoided, true, preferred.x());
    const std::vector<int> ys =
        Candidates(bounds.top(), bounds.bottom(), fitted.height(), forbidden, avoided, false, preferred.y());
    PanelPlacement best;
    long long bestDistance = 0;
    bool found = false;
    for (int y : ys) {
        for (int x : xs) {
            const QRect r(QPoint(x, y), fitted);
            long long forbiddenArea = 0;
            for (const QRect& f : forbidden) forbiddenArea += Area(r, f);
            if (found && forbiddenArea > best.forbiddenArea) continue;
            long long cost = 0;
            for (const AvoidedArea& a : avoided) cost += a.weight * Area(r, a.rect);
            const long long distance = std::llabs(x - preferred.x()) + std::llabs(y - preferred.y());
            if (!found || std::tie(forbiddenArea, cost, distance) < std::tie(best.forbiddenArea, best.cost, bestDistance)) {
                best = {r, forbiddenArea, cost};
                bestDistance = distance;
                found = true;
            }
        }
    }
    if (!found) best.rect = QRect(bounds.topLeft(), fitted);
    return best;
}

}  // namespace vantrel
