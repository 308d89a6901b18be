#include "app/rate_monitor.h"

#include <algorithm>
#include <cstdio>

namespace vantrel {

namespace {

std::string Format(const char* format, int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, format, static_cast<int>(value));
    return text;
}

}  // namespace

std::string RateLabel(int32_t rate) { return Format("%3dbpm", std::clamp(rate, 0, 999)); }

std::string SecondRateLabel(int32_t rate) { return Format("%3d", std::clamp(rate, 0, 999)); }

std::string PrLabel(int32_t prInterval) {
    return prInterval >= 0 && prInterval <= 499 ? Format("PR=%d", prInterval) : " - ";
}

std::string QtLabel(int32_t qtInterval) {
    return qtInterval >= 150 && qtInterval <= 799 ? Format("QT=%d", qtInterval) : " - ";
}

}  // namespace vantrel
