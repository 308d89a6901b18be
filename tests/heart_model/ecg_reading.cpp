#include "ecg_reading.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace vantrel::testing {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Longest P wave taken as one (a longer run before the QRS is the end of the previous T wave)
// and longest PR interval looked for.
constexpr int32_t kMaxPSamples = 150 / kSampleMs;
constexpr int32_t kMaxPrSamples = 400 / kSampleMs;
// How far a QRS onset may lie before the first fast sample, and a T end after the QRS.
constexpr int32_t kMaxLeadInSamples = 100 / kSampleMs;
constexpr int32_t kMaxTSamples = 700 / kSampleMs;
// A QRS ends at two quiet samples, or where the signal has slowed to the pace of a T wave for
// three samples once it has come down to a quarter of its peak.
constexpr int32_t kSlowVelocity = 2;
constexpr int32_t kMaxQrsSamples = 250 / kSampleMs;

bool Quiet(const EcgTrace& trace, int32_t t) {
    if (t < 0 || t >= trace.Size()) return true;
    return std::abs(trace.At(t, kLeadX)) <= 1 && std::abs(trace.At(t, kLeadY)) <= 1 &&
           std::abs(trace.At(t, kLeadZ)) <= 1;
}

int32_t Magnitude(const EcgTrace& trace, int32_t t) {
    return std::abs(trace.At(t, kLeadX)) + std::abs(trace.At(t, kLeadY)) +
           std::abs(trace.At(t, kLeadZ));
}

int32_t Velocity(const EcgTrace& trace, int32_t t) {
    if (t <= 0 || t >= trace.Size()) return 0;
    int32_t v = 0;
    for (int lead : {kLeadX, kLeadY, kLeadZ})
        v += std::abs(trace.At(t, lead) - trace.At(t - 1, lead));
    return v;
}

// A cardioversion artefact: while it lasts the cells contribute nothing and X, Y and Z carry the
// same decaying value (the Z lead, which holds the negated sum, the opposite one).
bool ShockArtefact(const EcgTrace& trace, int32_t t) {
    if (t < 0 || t >= trace.Size()) return false;
    const int32_t x = trace.At(t, kLeadX);
    return std::abs(x) > 2 && x == trace.At(t, kLeadY) && std::abs(x + trace.At(t, kLeadZ)) <= 1;
}

// Velocity over two samples: a T wave moves one table step every second sample, so its speed
// halves here while a QRS, which moves every sample, keeps it; slow wide complexes stay apart
// from large T waves that way.
int32_t Velocity2(const EcgTrace& trace, int32_t t) { return Velocity(trace, t) + Velocity(trace, t - 1); }

// Where the fast part of a complex that starts at `core` ends, on a signal that never rests: the
// last sample at `pace` or faster before 35 ms slower than it.
int32_t FastPartEnd(const EcgTrace& trace, int32_t core, int32_t pace) {
    int32_t last = core;
    for (int32_t e = core; e < trace.Size() && e - last < 7 && e - core <= kMaxQrsSamples; ++e)
        if (Velocity2(trace, e) >= pace) last = e;
    return last;
}

// The first sample of the non-quiet stretch that holds `t`, looking back at most `limit`
// samples; -1 when the stretch runs on further back.
int32_t StretchStart(const EcgTrace& trace, int32_t t, int32_t limit) {
    for (int32_t s = t; s > t - limit; --s)
        if (Quiet(trace, s - 1) && Quiet(trace, s - 2)) return s;
    return -1;
}

// The end of a QRS that started at sample `core`: -1 when the trace ends first, -2 when the signal
// never rests within kMaxQrsSamples (a tachycardia whose T wave runs into the next complex).
int32_t QrsOffset(const EcgTrace& trace, int32_t core) {
    int32_t peak = 0;
    for (int32_t e = core;; ++e) {
        if (e + 3 >= trace.Size()) return -1;
        if (e - core > kMaxQrsSamples) return -2;
        peak = std::max(peak, Magnitude(trace, e));
        if (Quiet(trace, e + 1) && Quiet(trace, e + 2)) return e;
        const bool slow = Velocity(trace, e + 1) <= kSlowVelocity &&
                          Velocity(trace, e + 2) <= kSlowVelocity &&
                          Velocity(trace, e + 3) <= kSlowVelocity;
        if (slow && Magnitude(trace, e) * 4 <= peak) return e;
    }
}

// The P wave before a QRS: after a quiet PR segment, a short run of activity.
void FindP(const EcgTrace& trace, Beat& beat, int32_t earliest) {
    int32_t t = beat.qrsOnset - 1;
    while (t > earliest && Quiet(trace, t) && beat.qrsOnset - t < kMaxPrSamples) --t;
    if (t <= earliest || Quiet(trace, t)) return;
    const int32_t end = t;
    const int32_t start = StretchStart(trace, end, kMaxPSamples);
    if (start < 0 || start <= earliest) return;
    beat.pOnset = start;
    beat.pOffset = end;
}

void FindT(const EcgTrace& trace, Beat& beat, int32_t limit) {
    beat.tPeak = beat.tEnd = -1;
    limit = std::min({limit, trace.Size(), beat.qrsOffset + 1 + kMaxTSamples});
    int32_t peak = -1;
    for (int32_t t = beat.qrsOffset + 1; t < limit; ++t)
        if (peak < 0 || Magnitude(trace, t) > Magnitude(trace, peak)) peak = t;
    if (peak < 0 || Quiet(trace, peak)) return;
    for (int32_t t = peak; t + 3 < limit; ++t) {
        if (Quiet(trace, t + 1) && Quiet(trace, t + 2) && Quiet(trace, t + 3)) {
            beat.tPeak = peak;
            beat.tEnd = t;
            return;
        }
    }
}

}  // namespace

int Sign(int32_t value) { return (value > 0) - (value < 0); }

bool ReadEcgCsv(const std::string& path, EcgTrace& trace, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    std::string line;
    // The units note comes first as a comment line.
    while (std::getline(in, line) && line.rfind('#', 0) == 0) {
    }
    if (line.rfind("tick,I,II,", 0) != 0) {
        error = path + " is not an ECG recording";
        return false;
    }
    trace.samples.clear();
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string field;
        std::getline(fields, field, ',');  // the tick
        std::array<int32_t, kLeadCount> sample{};
        for (int lead = 0; lead < kLeadCount; ++lead) {
            if (!std::getline(fields, field, ',')) {
                error = path + ": short line " + std::to_string(trace.Size() + 2);
                return false;
            }
            sample[lead] = std::stoi(field);
        }
        std::array<int32_t, kIntracardiacCount> ic{};
        bool hasIc = true;
        for (int n = 0; n < kIntracardiacCount && hasIc; ++n) {
            hasIc = static_cast<bool>(std::getline(fields, field, ','));
            if (hasIc) ic[n] = std::stoi(field);
        }
        trace.samples.push_back(sample);
        if (hasIc) trace.intracardiac.push_back(ic);
    }
    if (trace.intracardiac.size() != trace.samples.size()) trace.intracardiac.clear();
    RemoveStimulusSpikes(trace);
    return true;
}

void RemoveStimulusSpikes(EcgTrace& trace) {
    trace.stimulus.assign(trace.samples.size(), false);
    constexpr int32_t kJump = 60;
    for (int32_t t = 1; t + 1 < trace.Size(); ++t) {
        bool spike = true;
        for (int lead : {kLeadX, kLeadY})
            spike = spike && trace.At(t, lead) - trace.At(t - 1, lead) >= kJump &&
                    trace.At(t, lead) - trace.At(t + 1, lead) >= kJump;
        if (!spike) continue;
        trace.stimulus[t] = true;
        trace.samples[t] = trace.samples[t - 1];
        if (!trace.intracardiac.empty()) trace.intracardiac[t] = trace.intracardiac[t - 1];
    }
}

std::vector<Beat> FindBeats(const EcgTrace& trace) {
    int32_t fastest = 0;
    for (int32_t t = 1; t < trace.Size(); ++t)
        if (!ShockArtefact(trace, t) && !ShockArtefact(trace, t - 2))
            fastest = std::max(fastest, Velocity2(trace, t));
    // A third of the fastest, and at least the pace that no P wave of a sinus beat reaches.
    const int32_t core = std::max(10, fastest / 3);

    std::vector<Beat> beats;
    int32_t previousEnd = -1;  // the last sample that belongs to the previous beat
    for (int32_t t = 1; t < trace.Size(); ++t) {
        if (Velocity2(trace, t) < core || ShockArtefact(trace, t) || ShockArtefact(trace, t - 2)) continue;
        Beat beat;
        beat.qrsOnset = StretchStart(trace, t, kMaxLeadInSamples);
        if (beat.qrsOnset < 0) {
            // A paced complex may follow its P wave without a quiet sample: it starts at its spike.
            for (int32_t s = t; s > t - kMaxLeadInSamples && s > 0; --s)
                if (trace.Stimulus(s)) {
                    beat.qrsOnset = s + 1;
                    break;
                }
        }
        if (beat.qrsOnset < 0) {
            // On a baseline that never rests (flutter or fibrillation waves, a tachycardia's T
            // wave) the QRS starts where the signal picks up speed: after the last sample slower
            // than half the core pace.
            for (int32_t s = t; s > t - kMaxLeadInSamples && s > 1; --s)
                if (Velocity2(trace, s - 1) * 2 < core) {
                    beat.qrsOnset = s;
                    break;
                }
        }
        beat.qrsOffset = QrsOffset(trace, t);
        if (beat.qrsOffset == -2) beat.qrsOffset = FastPartEnd(trace, t, core);
        if (beat.qrsOffset < 0) break;  // runs past the end of the trace
        t = beat.qrsOffset;
        if (beat.qrsOnset <= previousEnd) beat.qrsOnset = -1;
        if (beat.qrsOnset < 0) {  // started before the trace or inside the previous beat
            previousEnd = beat.qrsOffset;
            continue;
        }
        if (!beats.empty()) {
            beat.rrMs = (beat.qrsOnset - beats.back().qrsOnset) * kSampleMs;
            FindT(trace, beats.back(), beat.qrsOnset);
        }
        FindP(trace, beat, std::max(previousEnd, beats.empty() ? 0 : beats.back().tEnd));
        if (!beats.empty() && beat.HasP()) {
            // The T wave of the previous beat ends before this P wave.
            FindT(trace, beats.back(), beat.pOnset);
        }
        beats.push_back(beat);
        previousEnd = beat.qrsOffset;
    }
    if (!beats.empty()) FindT(trace, beats.back(), trace.Size());
    return beats;
}

LeadWaves ReadLead(const EcgTrace& trace, const Beat& beat, int lead) {
    LeadWaves waves;
    for (int32_t t = beat.qrsOnset; t <= beat.qrsOffset; ++t) {
        const int32_t v = trace.At(t, lead);
        waves.r = std::max(waves.r, v);
        waves.s = std::min(waves.s, v);
        waves.area += v;
    }
    auto largest = [&](int32_t from, int32_t to) {
        int32_t best = 0;
        for (int32_t t = from; t <= to; ++t)
            if (std::abs(trace.At(t, lead)) > std::abs(best)) best = trace.At(t, lead);
        return best;
    };
    if (beat.HasP()) waves.p = largest(beat.pOnset, beat.pOffset);
    if (beat.tEnd >= 0) waves.t = largest(beat.qrsOffset + 1, beat.tEnd);
    return waves;
}

double FrontalAxis(const EcgTrace& trace, const Beat& beat) {
    const LeadWaves i = ReadLead(trace, beat, kLeadI);
    const LeadWaves avf = ReadLead(trace, beat, kLeadAVF);
    return std::atan2(avf.area, i.area) * 180 / kPi;
}

double QrsTAngle(const EcgTrace& trace, const Beat& beat) {
    double qrs[3] = {0, 0, 0}, t[3] = {0, 0, 0};
    const int leads[3] = {kLeadX, kLeadY, kLeadZ};
    for (int k = 0; k < 3; ++k) {
        for (int32_t s = beat.qrsOnset; s <= beat.qrsOffset; ++s) qrs[k] += trace.At(s, leads[k]);
        for (int32_t s = beat.qrsOffset + 1; s <= beat.tEnd; ++s) t[k] += trace.At(s, leads[k]);
    }
    const double dot = qrs[0] * t[0] + qrs[1] * t[1] + qrs[2] * t[2];
    const double lengths = std::sqrt(qrs[0] * qrs[0] + qrs[1] * qrs[1] + qrs[2] * qrs[2]) *
                           std::sqrt(t[0] * t[0] + t[1] * t[1] + t[2] * t[2]);
    if (lengths == 0) return 0;
    return std::acos(std::clamp(dot / lengths, -1.0, 1.0)) * 180 / kPi;
}

std::vector<int32_t> Activations(const EcgTrace& trace, int electrode) {
    std::vector<int32_t> out;
    if (trace.intracardiac.empty() || electrode < 0 || electrode >= kIntracardiacCount) return out;
    constexpr int32_t kSwing = 25;
    constexpr int32_t kApart = 100 / kSampleMs;
    for (int32_t t = 0; t + 1 < trace.Size(); ++t) {
        const int32_t v = trace.intracardiac[t][electrode];
        const int32_t next = trace.intracardiac[t + 1][electrode];
        if (std::abs(v - next) < kSwing || std::abs(v) < 12) continue;
        if (!out.empty() && t - out.back() < kApart) continue;
        out.push_back(t);
    }
    return out;
}

int32_t ActivationBefore(const std::vector<int32_t>& activations, int32_t sample, int32_t windowMs) {
    int32_t found = -1;
    for (int32_t a : activations) {
        if (a > sample) break;
        if ((sample - a) * kSampleMs <= windowMs) found = a;
    }
    return found;
}

int32_t MedianIntervalMs(const std::vector<int32_t>& samples) {
    std::vector<int32_t> intervals;
    for (size_t i = 1; i < samples.size(); ++i) intervals.push_back(samples[i] - samples[i - 1]);
    if (intervals.empty()) return 0;
    std::sort(intervals.begin(), intervals.end());
    return intervals[intervals.size() / 2] * kSampleMs;
}

namespace {
int32_t LargestIn(const EcgTrace& trace, int lead, int32_t from, int32_t to) {
    int32_t best = 0;
    for (int32_t t = std::max(from, 0); t <= to && t < trace.Size(); ++t)
        if (std::abs(trace.At(t, lead)) > std::abs(best)) best = trace.At(t, lead);
    return best;
}
}  // namespace

int32_t InitialDeflection(const EcgTrace& trace, const Beat& beat, int lead, int32_t ms) {
    return LargestIn(trace, lead, beat.qrsOnset,
                     std::min(beat.qrsOffset, beat.qrsOnset + ms / kSampleMs - 1));
}

int32_t TerminalDeflection(const EcgTrace& trace, const Beat& beat, int lead, int32_t ms) {
    return LargestIn(trace, lead, std::max(beat.qrsOnset, beat.qrsOffset - ms / kSampleMs + 1),
                     beat.qrsOffset);
}

WaveSides PWaveSides(const EcgTrace& trace, const Beat& beat, int lead) {
    WaveSides sides;
    if (!beat.HasP()) return sides;
    for (int32_t t = beat.pOnset; t <= beat.pOffset; ++t) {
        sides.highest = std::max(sides.highest, trace.At(t, lead));
        sides.lowest = std::min(sides.lowest, trace.At(t, lead));
    }
    return sides;
}

int32_t TerminalWaveMs(const EcgTrace& trace, const Beat& beat, int lead, int sign) {
    // From the end backward: skip the samples that have come back near the baseline, then count
    // those on the asked side.
    int32_t t = beat.qrsOffset;
    while (t >= beat.qrsOnset && std::abs(trace.At(t, lead)) < 2) --t;
    int32_t samples = 0;
    while (t >= beat.qrsOnset && trace.At(t, lead) * sign >= 2) {
        ++samples;
        --t;
    }
    return samples * kSampleMs;
}

int32_t StLevel(const EcgTrace& trace, const Beat& beat, int lead, int32_t afterOnsetMs) {
    const int32_t at = beat.qrsOnset + afterOnsetMs / kSampleMs;
    const int32_t baseline = beat.qrsOnset > 0 ? trace.At(beat.qrsOnset - 1, lead) : 0;
    if (at >= trace.Size()) return 0;
    return trace.At(at, lead) - baseline;
}

}  // namespace vantrel::testing
