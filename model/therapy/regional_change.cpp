#include "model/therapy/regional_change.h"

#include <algorithm>
#include <limits>

#include "model/therapy/cell_changes.h"

namespace vantrel {

namespace {

struct PairFields {
    ChangeKind kind;
    int32_t CCell::*b;
    int32_t CCell::*h;
    int32_t CCell::*modelB;
    int32_t CCell::*modelH;
};

// By the dialog's function number.
constexpr PairFields kFunctions[4] = {
    {ChangeKind::AnteroCond, &CCell::antCondB, &CCell::antCondH, &CCell::modelAntCondB, &CCell::modelAntCondH},
    {ChangeKind::RetroCond, &CCell::retCondB, &CCell::retCondH, &CCell::modelRetCondB, &CCell::modelRetCondH},
    {ChangeKind::Arp, &CCell::arpB, &CCell::arpH, &CCell::modelArpB, &CCell::modelArpH},
    {ChangeKind::Escape, &CCell::escapeB, &CCell::escapeH, &CCell::modelEscapeB, &CCell::modelEscapeH},
};

}  // namespace

std::vector<std::string> AdvancedPatterns(const AdvancedFunctionValues& values) {
    if (values.byName) return {values.nameText};
    std::vector<std::string> patterns;
    const std::pair<int32_t, const char*> areas[] = {{values.leftAtrium, "LA"},
                                                     {values.rightAtrium, "RA"},
                                                     {values.leftVentricle, "LV"},
                                                     {values.rightVentricle, "RV"},
                                                     {values.avNode, "AV"}};
    for (const auto& [ticked, area] : areas)
        if (ticked) patterns.emplace_back(area);
    return patterns;
}

int32_t RegionalChanges::Scaled(Base& base, int32_t modelValue, int32_t percent) {
    if (!base.known || base.written != modelValue) {
        base.known = true;
        base.before = modelValue;
    }
    // In 64 bits: a large model value times a percentage may not fit; never below one tick.
    const int64_t value = int64_t{base.before} * percent / 100;
    base.written = static_cast<int32_t>(std::clamp<int64_t>(value, 5, std::numeric_limits<int32_t>::max()));
    return base.written;
}

int RegionalChanges::Apply(CCoeur& heart, const AdvancedFunctionValues& values) {
    if (values.function < 0 || values.function > 3) return 0;
    const PairFields& f = kFunctions[values.function];
    const int32_t value1 = values.parasympathetic ? values.coefficient : 100;
    const int32_t value2 = values.sympathetic ? values.coefficient : 100;
    if (bases_.size() < static_cast<std::size_t>(heart.cellCount)) bases_.resize(heart.cellCount);
    int changed = 0;
    for (const std::string& pattern : AdvancedPatterns(values)) {
        for (int32_t i = 0; i < heart.cellCount; ++i) {
            CCell& cell = heart.cells[i];
            if (!PatternMatches(pattern, cell)) continue;
            CellBases& bases = bases_[static_cast<std::size_t>(i)];
            cell.*f.modelB = cell.*f.b = Scaled(bases[values.function * 2], cell.*f.modelB, value1);
            cell.*f.modelH = cell.*f.h = Scaled(bases[values.function * 2 + 1], cell.*f.modelH, value2);
            cell.definitiveMask |= static_cast<uint32_t>(f.kind);
            cell.dirty = 1;
            ++changed;
        }
    }
    return changed;
}

}  // namespace vantrel
