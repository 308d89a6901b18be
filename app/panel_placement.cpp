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

namespace {

// The widest clear room whose top-left corner is (x, y) and whose height is `height`: 0 when a
// forbidden rectangle holds the corner.
int ClearWidth(int x, int y, int height, const QRect& bounds, const std::vector<QRect>& forbidden) {
    int width = bounds.right() + 1 - x;
    for (const QRect& f : forbidden) {
        if (f.isEmpty() || f.bottom() < y || f.top() >= y + height || f.right() < x) continue;
        if (f.left() <= x) return 0;
        width = std::min(width, f.left() - x);
    }
    return width;
}

// How much of an arrangement of `shape` a room of `room` shows at once, scroll bars counted.
long long Shown(QSize shape, QSize room, int bar) {
    const bool scrollsDown = room.height() < shape.height();
    const bool scrollsAcross = room.width() < shape.width();
    const long long w = std::min(shape.width(), room.width() - (scrollsDown ? bar : 0));
    const long long h = std::min(shape.height(), room.height() - (scrollsAcross ? bar : 0));
    return std::max(0LL, w) * std::max(0LL, h);
}

// The room a panel takes inside a clear room of `clear`: its arrangement's size, plus a scroll
// bar across or down when the clear room cuts the other side.
QSize TakenRoom(QSize shape, QSize clear, int bar) {
    QSize taken = shape.boundedTo(clear);
    if (taken.height() < shape.height()) taken.setWidth(std::min(clear.width(), shape.width() + bar));
    if (taken.width() < shape.width()) taken.setHeight(std::min(clear.height(), shape.height() + bar));
    return taken;
}

}  // namespace

ShrunkPlacement PlaceShrinkingPanel(const PanelRequest& request, QSize maxSize, const QRect& bounds,
                                    const std::vector<QRect>& forbidden, const std::vector<AvoidedArea>& avoided,
                                    QPoint preferred) {
    ShrunkPlacement best;
    long long bestDistance = 0;
    bool found = false;
    auto consider = [&](const QRect& r, size_t shape) {
        const QSize wanted = request.shapes[shape];
        long long cost = 0;
        for (const AvoidedArea& a : avoided) cost += a.weight * Area(r, a.rect);
        const long long shown = Shown(wanted, r.size(), request.scrollBarExtent);
        const long long distance = std::llabs(r.x() - preferred.x()) + std::llabs(r.y() - preferred.y());
        // The most shown first; then the least covered of what had better stay in view.
        if (!found || std::tie(best.shown, cost, distance) < std::tie(shown, best.cost, bestDistance)) {
            best = {true, r, shape, shown, cost};
            bestDistance = distance;
            found = true;
        }
    };
    // Whole, where an arrangement fits whole within the bound.
    for (size_t shape = 0; shape < request.shapes.size(); ++shape) {
        const QSize wanted = request.shapes[shape];
        if (wanted.width() > maxSize.width() || wanted.height() > maxSize.height()) continue;
        const PanelPlacement whole = PlacePanel(wanted, bounds, forbidden, avoided, preferred);
        if (whole.forbiddenArea == 0 && whole.rect.size() == wanted) consider(whole.rect, shape);
    }
    if (found) return best;

    // Else the clear rooms: their top-left corners at the bounds' edges or just past a forbidden
    // rectangle, their heights reaching the bounds' bottom or the top of a forbidden rectangle.
    std::vector<int> xs{bounds.left()}, ys{bounds.top()};
    for (const QRect& f : forbidden) {
        if (f.isEmpty()) continue;
        xs.push_back(f.right() + 1);
        ys.push_back(f.bottom() + 1);
    }
    const QSize least = request.least.boundedTo(maxSize);
    for (int y : ys) {
        if (y < bounds.top() || y + least.height() - 1 > bounds.bottom()) continue;
        std::vector<int> heights{bounds.bottom() + 1 - y};
        for (const QRect& f : forbidden)
            if (!f.isEmpty() && f.top() > y) heights.push_back(f.top() - y);
        for (int x : xs) {
            if (x < bounds.left() || x + least.width() - 1 > bounds.right()) continue;
            for (int height : heights) {
                height = std::min({height, bounds.bottom() + 1 - y, maxSize.height()});
                if (height < least.height()) continue;
                const int width = std::min(ClearWidth(x, y, height, bounds, forbidden), maxSize.width());
                if (width < least.width()) continue;
                for (size_t shape = 0; shape < request.shapes.size(); ++shape)
                    consider(QRect(QPoint(x, y), TakenRoom(request.shapes[shape], QSize(width, height),
                                                           request.scrollBarExtent)), shape);
            }
        }
    }
    if (!found) {
        // No clear room at all: the least size at the preferred corner, marked as not fitting.
        best.rect = QRect(preferred, least.boundedTo(bounds.size()));
        best.fits = false;
    }
    return best;
}

std::vector<ShrunkPlacement> ArrangePanels(const std::vector<PanelRequest>& requests, const QRect& bounds,
                                           const std::vector<QRect>& forbidden,
                                           const std::vector<AvoidedArea>& avoided, QPoint preferred) {
    // The share of the view's width each panel may take, from all of it down to a seventh.  Of the
    // shares that give every panel its room, the one whose worst-served panel shows the most of
    // itself wins (the larger share on a tie), so that no panel is left a slit beside a whole one.
    constexpr int kSharesPercent[] = {100, 80, 65, 50, 40, 33, 28, 24, 20, 17, 14};
    std::vector<ShrunkPlacement> best, placed;
    double bestWorst = -1;
    for (int share : kSharesPercent) {
        const QSize maxSize(bounds.width() * share / 100, bounds.height());
        std::vector<QRect> taken = forbidden;
        placed.clear();
        bool all = true;
        double worst = 1;
        for (const PanelRequest& request : requests) {
            const ShrunkPlacement at = PlaceShrinkingPanel(request, maxSize, bounds, taken, avoided, preferred);
            const QSize wanted = request.shapes[at.shape];
            worst = std::min(worst, static_cast<double>(at.shown) / (static_cast<double>(wanted.width()) * wanted.height()));
            all = all && at.fits;
            placed.push_back(at);
            taken.push_back(at.rect);
        }
        if (all && worst > bestWorst) {
            best = placed;
            bestWorst = worst;
        }
    }
    return best.empty() ? placed : best;
}

}  // namespace vantrel
