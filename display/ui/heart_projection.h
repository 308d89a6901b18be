// The arithmetic of the 3D heart picture: the rotation by azimuth and elevation, the projection
// of a model point to the screen with its depth shade, and which chamber a cell belongs to.
// Integer arithmetic throughout (coefficients scaled by 1000), so that a picture is the same on
// every machine.
#pragma once

#include <cstdint>

namespace vantrel {

// Starting angles of the picture, degrees: the scroll bars' initial positions less their offsets.
inline constexpr int32_t kInitialAzimuth = -10;
inline constexpr int32_t kInitialElevation = -10;
// Scroll-bar ranges and offsets: azimuth = position - 180 (0..360), elevation = position - 40 (0..80).
inline constexpr int32_t kAzimuthBarMax = 360;
inline constexpr int32_t kAzimuthBarOffset = 180;
inline constexpr int32_t kElevationBarMax = 80;
inline constexpr int32_t kElevationBarOffset = 40;

// Seven rotation coefficients, each scaled by the display scale (1000 for a 630-pixel layout).
struct RotationCoefficients {
    int32_t m1 = 0, m2 = 0, m3 = 0, m4 = 0, m5 = 0, m6 = 0, m7 = 0;
};
RotationCoefficients ComputeRotation(int32_t azimuth, int32_t elevation, int32_t displayScale);

// Where the model's origin lands on the screen, from the layout size.
struct ScreenPoint {
    int32_t x = 0, y = 0;
};
ScreenPoint ProjectionOrigin(int32_t layoutWidth, int32_t layoutHeight);

// Brightness of a depth: 0 (black) beyond 200, 255 nearer than -55, else 200 - depth.
int32_t ShadeOfDepth(int32_t depth);

struct Projected {
    int32_t x = 0, y = 0;  // screen point
    int32_t depth = 0;     // larger = farther
};
Projected ProjectPoint(const RotationCoefficients& m, ScreenPoint origin, int32_t x, int32_t y, int32_t z);

// The chambers the picture can hide, in check-box order ("RA", "LA", "RV", "LV").
enum Chamber : int32_t {
    kNoChamber = -1,
    kRightAtrium = 0,
    kLeftAtrium = 1,
    kRightVentricle = 2,
    kLeftVentricle = 3,
};
inline constexpr int kChamberCount = 4;
// By name, case-sensitive: "RA..." with "Sinus" and "DSA", "LA...", "RV...", "LV..."; others none.
Chamber ChamberOfCell(const char* name);

}  // namespace vantrel
