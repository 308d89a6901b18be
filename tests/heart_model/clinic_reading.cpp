#include "clinic_reading.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vantrel::testing {

HeartRun RunClinic(const std::string& model, double seconds, std::vector<std::string> actions,
                   std::optional<int32_t> tone) {
    HeartRunSpec request;
    request.model = model + ".hmd";
    request.seconds = seconds;
    request.tone = tone;
    request.actions = std::move(actions);
    return RunShippedHeart(request);
}

std::vector<Beat> BeatsBetween(const HeartRun& run, int32_t fromMs, int32_t toMs) {
    std::vector<Beat> out;
    for (const Beat& b : run.beats)
        if (b.OnsetMs() >= fromMs && b.OnsetMs() < toMs) out.push_back(b);
    return out;
}

std::vector<int32_t> AtrialActivations(const HeartRun& run, int32_t fromMs, int32_t toMs) {
    std::vector<int32_t> out;
    for (int32_t a : Activations(run.trace, 0))
        if (a * kSampleMs >= fromMs && a * kSampleMs < toMs) out.push_back(a);
    return out;
}

int32_t AvIntervalMs(const HeartRun& run, const Beat& beat, int32_t windowMs) {
    const int32_t a = ActivationBefore(Activations(run.trace, 0), beat.qrsOnset, windowMs);
    return a < 0 ? -1 : (beat.qrsOnset - a) * kSampleMs;
}

int32_t RateBpm(int32_t intervalMs) { return intervalMs > 0 ? (60000 + intervalMs / 2) / intervalMs : 0; }

int32_t MedianRrMs(const std::vector<Beat>& beats) {
    std::vector<int32_t> rr;
    for (const Beat& b : beats)
        if (b.rrMs > 0) rr.push_back(b.rrMs);
    if (rr.empty()) return 0;
    std::sort(rr.begin(), rr.end());
    return rr[rr.size() / 2];
}

double Qtc(int32_t qtMs, int32_t rrMs) { return rrMs > 0 ? qtMs / std::sqrt(rrMs / 1000.0) : 0; }

void Note(const std::string& what, double value) { std::printf("  %-52s %7.1f\n", what.c_str(), value); }

}  // namespace vantrel::testing
