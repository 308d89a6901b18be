// Measurements read from a stretch of recorded samples, the way an electrocardiograph reads its
// own recording: the ventricular complexes are found where the heart's electrical vector moves
// fastest, which gives the rate and the QRS duration of the stretch.
#pragma once

#include <cstdint>

#include "engine/ecg_synthesis.h"

namespace vantrel {

struct StretchMeasurement {
    int32_t complexes = 0;  // ventricular complexes found
    int32_t rateBpm = -1;   // from the mean interval between their onsets; -1 with fewer than two
    int32_t qrsMs = -1;     // median QRS duration; -1 when no complex was found
};

// Reads `count` consecutive samples (5 ms apart).  Pacing marks are left out of the reading.
StretchMeasurement MeasureStretch(const EcgSample* samples, int32_t count);

// QT corrected for the rate (Bazett): QT / sqrt(RR in seconds); -1 when either is unknown.
int32_t CorrectedQt(int32_t qtMs, int32_t rateBpm);

}  // namespace vantrel
