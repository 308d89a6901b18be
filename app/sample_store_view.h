// The strip's window onto the sample store that the clock fills.
#pragma once

#include "display/ui/ecg_strip.h"

namespace vantrel {

// Until the clock's sample store is part of the document, the strip reads an empty ring: flat
// traces, no samples ever arriving.
class SampleStoreView : public StripSamples {
public:
    int32_t WriteIndex() const override { return 0; }
    const int8_t* SampleAt(int32_t) const override { return silence_; }
    int32_t LeadValue(const int8_t*, int32_t) const override { return 0; }

private:
    int8_t silence_[17] = {};
};

}  // namespace vantrel
