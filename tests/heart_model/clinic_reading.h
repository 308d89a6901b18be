// What the clinic model tests read from a run of a curriculum model: the steady beats, the atrial
// activations of the high right atrial electrode (I.C.1 sits on RA10 in every model), and the
// association of each QRS with the atrial activation before it.
#pragma once

#include <string>
#include <vector>

#include "heart_run.h"

namespace vantrel::testing {

// A run of data/Clinic/<model>.hmd, with its checksum checked.
HeartRun RunClinic(const std::string& model, double seconds, std::vector<std::string> actions = {},
                   std::optional<int32_t> tone = {});

// The beats whose QRS starts within [fromMs, toMs), whether or not their T wave ended.
std::vector<Beat> BeatsBetween(const HeartRun& run, int32_t fromMs, int32_t toMs);

// The atrial activations (I.C.1) within [fromMs, toMs).
std::vector<int32_t> AtrialActivations(const HeartRun& run, int32_t fromMs, int32_t toMs);

// Atrio-ventricular interval of a beat: from the last atrial activation to the QRS onset, when
// there is one in the `windowMs` before it; -1 otherwise.
int32_t AvIntervalMs(const HeartRun& run, const Beat& beat, int32_t windowMs = 600);

int32_t RateBpm(int32_t intervalMs);
int32_t MedianRrMs(const std::vector<Beat>& beats);
double Qtc(int32_t qtMs, int32_t rrMs);

// Prints one measured value for the model's notes.
void Note(const std::string& what, double value);

}  // namespace vantrel::testing
