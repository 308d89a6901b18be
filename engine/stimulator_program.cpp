#include "engine/stimulator_program.h"

namespace vantrel {

namespace {

void AppendPair(std::string& text, int32_t delayMs, int32_t wait) {
    text += std::to_string(delayMs);
    text += ',';
    text += std::to_string(wait);
    text += ',';
}

// The pair (S1-S1, 0) `count` times: the drive train.
std::string Train(int32_t s1Interval, int32_t count) {
    std::string text;
    for (int32_t i = 0; i < count; ++i) AppendPair(text, s1Interval, 0);
    return text;
}

}  // namespace

std::optional<FieldRangeError> CheckStimulatorSettings(const StimulatorSettings& settings) {
    return CheckFields(kStimulatorFields, settings);
}

std::string BuildStimulatorProgram(const StimulatorSettings& s) {
    const int32_t n = s.withIntermediate ? s.intermediateQrs : 0;
    const int32_t pause = s.pauseOn ? s.pause : 0;
    const std::string train = Train(s.s1Interval, n);
    const std::string shorterTrain = Train(s.s1Interval, n - 1);

    std::string program;
    if (s.train) {
        program = train;
        AppendPair(program, s.s2, 0);
    } else {
        AppendPair(program, s.s2, n);  // S2 follows N intrinsic beats
    }

    // One more burst of the stepped modes, with extrastimulus `s2`.  After a pause the burst's
    // first pair waits for one firing of the electrode cell and is itself the burst's first S1.
    const auto appendBurst = [&](int32_t s2) {
        if (s.train && pause > 0) {
            AppendPair(program, pause, 1);
            program += shorterTrain;
            AppendPair(program, s2, 0);
        } else if (s.train) {
            program += train;
            AppendPair(program, s2, 0);
        } else {
            AppendPair(program, s2, n);
        }
    };

    switch (s.mode) {
        case StimulatorMode::Fixed:
            if (s.s3On) AppendPair(program, s.s3, 0);
            if (s.s4On) AppendPair(program, s.s4, 0);
            break;
        case StimulatorMode::AutoIncrement: {
            int32_t next = s.s2 + s.step;
            if (s.step > 0 && next < s.limit)
                for (; next <= s.limit; next += s.step) appendBurst(next);
            break;
        }
        case StimulatorMode::AutoDecrement: {
            int32_t next = s.s2 - s.step;
            if (s.step > 0 && s.limit < s.s2 && next >= s.limit)
                for (; next >= s.limit; next -= s.step) appendBurst(next);
            break;
        }
    }
    return program;
}

}  // namespace vantrel
