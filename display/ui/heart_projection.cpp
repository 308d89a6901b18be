#include "display/ui/heart_projection.h"

#include <cmath>
#include <cstring>

namespace vantrel {

namespace {
constexpr double kPi = 3.14159;
constexpr double kQuarterTurn = 1.570795;
int32_t Truncated(double v) { return static_cast<int32_t>(v); }
}  // namespace

RotationCoefficients ComputeRotation(int32_t azimuth, int32_t elevation, int32_t displayScale) {
    const double a = azimuth * kPi / 180;
    const double e = elevation * kPi / 180;
    const double d = displayScale;
    RotationCoefficients m;
    m.m1 = Truncated(d * std::cos(a));
    m.m2 = Truncated(d * std::cos(a + kQuarterTurn));
    m.m3 = Truncated(d * std::cos(e));
    m.m4 = Truncated(d * std::sin(e) * std::sin(a));
    m.m5 = Truncated(d * std::sin(a + kQuarterTurn) * std::sin(e));
    m.m6 = Truncated(d * std::cos(e) * std::cos(a));
    m.m7 = Truncated(d * std::cos(e) * std::sin(a));
    return m;
}

ScreenPoint ProjectionOrigin(int32_t layoutWidth, int32_t layoutHeight) {
    ScreenPoint origin;
    origin.x = layoutWidth / 4;
    // Squarer screens leave room above the strip's controls; wide ones start near the top.
    const bool square = layoutHeight > 0 && layoutWidth * 10 / layoutHeight < 15;
    origin.y = square ? layoutHeight / 3 - 221 : layoutHeight / 100 - 50;
    return origin;
}

int32_t ShadeOfDepth(int32_t depth) {
    if (depth > 200) return 0;
    if (depth < -55) return 255;
    return 200 - depth;
}

Projected ProjectPoint(const RotationCoefficients& m, ScreenPoint origin, int32_t x, int32_t y, int32_t z) {
    // 64-bit products: model coordinates times a scale of a few thousand stay far from overflow.
    const int64_t X = x, Y = y, Z = z;
    Projected p;
    p.x = static_cast<int32_t>((X * m.m1 + Z * m.m2) / 1000) + origin.x;
    p.y = static_cast<int32_t>((X * m.m4 + Y * m.m3 + Z * m.m5) / 1000) + origin.y;
    p.depth = static_cast<int32_t>((X * m.m7 + Z * m.m6) / 1000);
    return p;
}

Chamber ChamberOfCell(const char* name) {
    if (!name) return kNoChamber;
    if (std::strcmp(name, "Sinus") == 0 || std::strcmp(name, "DSA") == 0) return kRightAtrium;
    if (name[0] == 0 || name[1] == 0) return kNoChamber;
    if (name[0] == 'R' && name[1] == 'A') return kRightAtrium;
    if (name[0] == 'L' && name[1] == 'A') return kLeftAtrium;
    if (name[0] == 'R' && name[1] == 'V') return kRightVentricle;
    if (name[0] == 'L' && name[1] == 'V') return kLeftVentricle;
    return kNoChamber;
}

}  // namespace vantrel
