// Reading a recorded ECG the way a cardiologist reads a strip: where each QRS starts and ends,
// whether a P wave comes before it, where its T wave ends, and the polarity and size of the waves
// in each lead.  The heart model tests measure the shipped models with it instead of comparing
// samples with stored numbers.
//
// The engine's surface leads are integers whose baseline is exactly 0 between waves, so a sample
// is "quiet" when X, Y and Z are all within one unit of 0.  The QRS is told from the P and T
// waves by its speed: the spatial velocity (the sum of the sample-to-sample changes of X, Y and
// Z) of a QRS is several times that of any P or T wave, also for a wide ectopic complex.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/ecg_display.h"

namespace vantrel::testing {

inline constexpr int32_t kSampleMs = 5;

// Lead indices of the lead table.
enum Lead : int {
    kLeadI = 0,
    kLeadII,
    kLeadIII,
    kLeadAVR,
    kLeadAVL,
    kLeadAVF,
    kLeadV1,
    kLeadV2,
    kLeadV3,
    kLeadV4,
    kLeadV5,
    kLeadV6,
    kLeadX,
    kLeadY,
    kLeadZ,
};

inline constexpr int kIntracardiacCount = 4;

// A recording: the seventeen lead-table leads of every sample, 5 ms apart, and the four
// intracardiac electrograms I.C.1..I.C.4 when the recording has them.
struct EcgTrace {
    std::vector<std::array<int32_t, kLeadCount>> samples;
    std::vector<std::array<int32_t, kIntracardiacCount>> intracardiac;  // empty when not recorded
    // Samples that held a stimulus spike (pacemaker or stimulator); the reader replaces such a
    // sample by the one before it, so that a spike is not read as a wave.
    std::vector<bool> stimulus;
    int32_t Size() const { return static_cast<int32_t>(samples.size()); }
    int32_t At(int32_t sample, int lead) const { return samples[sample][lead]; }
    bool Stimulus(int32_t sample) const {
        return sample >= 0 && sample < static_cast<int32_t>(stimulus.size()) && stimulus[sample];
    }
};

// Reads the CSV recording that `vantrel-sim --ecg FILE.csv` writes (the tick, the lead table's
// leads in order, then I.C.1..4 and the marker).  False with a message when the file is not such
// a recording.
bool ReadEcgCsv(const std::string& path, EcgTrace& trace, std::string& error);

// Finds the stimulus spikes (a one-sample jump of X and Y by 60 or more that falls back at the
// next sample), marks them in `stimulus` and holds the previous sample over them.
void RemoveStimulusSpikes(EcgTrace& trace);

// One complex, as sample indices into the trace; -1 where a wave was not found.
struct Beat {
    int32_t qrsOnset = -1;   // first sample off the baseline
    int32_t qrsOffset = -1;  // last sample of the QRS (the J point)
    int32_t pOnset = -1, pOffset = -1;
    int32_t tPeak = -1, tEnd = -1;  // largest spatial deflection of the T wave, its last sample
    int32_t rrMs = 0;               // from the previous QRS onset; 0 for the first beat

    bool HasP() const { return pOnset >= 0; }
    int32_t QrsMs() const { return (qrsOffset + 1 - qrsOnset) * kSampleMs; }
    int32_t PrMs() const { return HasP() ? (qrsOnset - pOnset) * kSampleMs : 0; }
    int32_t PMs() const { return HasP() ? (pOffset + 1 - pOnset) * kSampleMs : 0; }
    int32_t QtMs() const { return tEnd >= 0 ? (tEnd + 1 - qrsOnset) * kSampleMs : 0; }
    int32_t OnsetMs() const { return qrsOnset * kSampleMs; }
};

// Every complex of the trace whose QRS lies entirely inside it, in time order.
std::vector<Beat> FindBeats(const EcgTrace& trace);

// The waves of one beat in one lead.
struct LeadWaves {
    int32_t r = 0;     // tallest positive deflection of the QRS, 0 when none
    int32_t s = 0;     // deepest negative deflection of the QRS, 0 when none
    int32_t area = 0;  // sum of the QRS samples: its net polarity
    int32_t p = 0;     // largest deflection of the P wave, signed (0 without P)
    int32_t t = 0;     // largest deflection of the T wave, signed
    bool DominantR() const { return r > -s; }
    bool DominantS() const { return -s > r; }
};
LeadWaves ReadLead(const EcgTrace& trace, const Beat& beat, int lead);

// Frontal QRS axis in degrees (0 = lead I, +90 = aVF), from the net QRS areas in I and aVF.
double FrontalAxis(const EcgTrace& trace, const Beat& beat);

// Angle in degrees between the mean spatial QRS vector and the mean T vector (X, Y, Z areas):
// small when the T wave follows its QRS, near 180 when it points the other way.
double QrsTAngle(const EcgTrace& trace, const Beat& beat);

int Sign(int32_t value);

// Local activations seen by intracardiac electrode `electrode` (0..3): the samples where its
// electrogram swings by 25 or more from one sample to the next (the sharp 20, -12 of a firing
// cell, or -20, 12 retrogradely), at least 100 ms apart.  Far fields are slow and never swing so.
std::vector<int32_t> Activations(const EcgTrace& trace, int electrode);

// The last activation of `activations` at or before `sample` and no more than `windowMs` before
// it; -1 when none.
int32_t ActivationBefore(const std::vector<int32_t>& activations, int32_t sample, int32_t windowMs);

// The median interval (ms) between successive events given as sample indices; 0 with fewer
// than two.
int32_t MedianIntervalMs(const std::vector<int32_t>& samples);

// The largest deflection (signed) of one lead within the first / last `ms` of a QRS: the
// initial q or r, the terminal S or R'.
int32_t InitialDeflection(const EcgTrace& trace, const Beat& beat, int lead, int32_t ms);
int32_t TerminalDeflection(const EcgTrace& trace, const Beat& beat, int lead, int32_t ms);

// The two sides of one beat's P wave in one lead: its highest and its lowest sample (0 when the
// wave never goes that way, or the beat has no P).  An upright P has only a positive side, a
// biphasic one both, an inverted one only a negative side.
struct WaveSides {
    int32_t highest = 0;
    int32_t lowest = 0;
};
WaveSides PWaveSides(const EcgTrace& trace, const Beat& beat, int lead);

// How long (ms) a lead stays on one side of its baseline (by 2 units or more) in the QRS, from
// the end backward: the width of a terminal S (sign -1) or R' (sign +1).
int32_t TerminalWaveMs(const EcgTrace& trace, const Beat& beat, int lead, int sign);

// The ST level of one lead: its value `afterOnsetMs` after the QRS onset (150 ms lies 60 ms after
// the J point of a normal QRS), against the baseline just before the QRS.  Taken from the onset
// rather than the J point, which a raised ST segment hides.
int32_t StLevel(const EcgTrace& trace, const Beat& beat, int lead, int32_t afterOnsetMs = 150);

}  // namespace vantrel::testing
