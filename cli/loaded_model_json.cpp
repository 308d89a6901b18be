#include "cli/loaded_model_json.h"

#include "model/therapy/therapy_text.h"
#include "model/windows1252.h"

namespace vantrel {

namespace {

using Json = nlohmann::ordered_json;

Json Pair(CouplingPair p) { return Json::array({p.min, p.max}); }

Json CellJson(const CCell& c, const CellPicture& picture) {
    Json qrs = Json::array();
    for (const int8_t v : c.qrsShape) qrs.push_back(v);
    Json neighbours = Json::array();
    for (int i = 0; i < c.neighbourCount && i < kMaxNeighbours; ++i) neighbours.push_back(c.neighbours[i]);
    return Json{
        {"name", Windows1252ToUtf8(c.name)},
        {"posX", c.posX},
        {"posY", c.posY},
        {"cellType", c.cellType},
        {"escapeB", c.escapeB},
        {"escapeH", c.escapeH},
        {"arpB", c.arpB},
        {"arpH", c.arpH},
        {"rrpB", c.rrpB},
        {"rrpH", c.rrpH},
        {"antCondB", c.antCondB},
        {"antCondH", c.antCondH},
        {"retCondB", c.retCondB},
        {"retCondH", c.retCondH},
        {"arpSlope", c.arpSlope},
        {"arpSmoothed", c.arpSmoothed},
        {"windowB", c.windowB},
        {"windowH", c.windowH},
        {"coefCondRrp", c.coefCondRrp},
        {"coefArpRrp", c.coefArpRrp},
        {"coefCondIsc", c.coefCondIsc},
        {"coefArpIsc", c.coefArpIsc},
        {"fatigueStep", c.fatigueStep},
        {"flux", c.flux},
        {"amplitude", c.amplitude},
        {"tWave", c.tWave},
        {"qrsShape", qrs},
        {"escapeCounter", c.escapeCounter},
        {"ectopicFirst", Pair(c.ectopicFirst)},
        {"ectopicEvery", c.ectopicEvery},
        {"pos3d", Json::array({c.pos3dX, c.pos3dY, c.pos3dZ})},
        {"radial", Json::array({c.radialX, c.radialY, c.radialZ})},
        {"neighbours", neighbours},
        {"faceCount", picture.faceCount},
    };
}

Json LinkJson(const CellLink& l) {
    return Json{
        {"cellA", l.cellA},
        {"sideA", l.sideA},
        {"cellB", l.cellB},
        {"sideB", l.sideB},
        {"linkType", static_cast<int32_t>(l.linkType)},
        {"robustA", l.robustA},
        {"robustR", l.robustR},
        {"labelOffset", l.labelOffset},
        {"orientationFree", l.orientationFree},
    };
}

// Each lead's pairs up to the first source -1.
Json PrecordialJson(const CCoeur& heart) {
    Json leads = Json::array();
    for (const auto& lead : heart.precordial) {
        Json pairs = Json::array();
        for (const auto& term : lead) {
            if (term[0] == -1) break;
            pairs.push_back(Json::array({term[0], term[1]}));
        }
        leads.push_back(pairs);
    }
    return leads;
}

}  // namespace

nlohmann::ordered_json LoadedModelJson(const CCoeur& heart, bool ok) {
    Json cells = Json::array();
    for (int32_t i = 0; i < heart.cellCount; ++i) cells.push_back(CellJson(heart.cells[i], heart.cellPictures[i]));
    Json links = Json::array();
    for (int32_t i = 0; i < heart.linkCount; ++i) links.push_back(LinkJson(heart.links[i]));
    return Json{
        {"ok", ok},
        {"loadStatus", Windows1252ToUtf8(heart.loadStatus)},
        {"storedChecksum", heart.storedChecksum},
        {"computedChecksum", heart.computedChecksum},
        {"cellCount", heart.cellCount},
        {"linkCount", heart.linkCount},
        {"cells", cells},
        {"links", links},
        {"tone", heart.tone},
        {"rateCellIndex", heart.rateCellIndex},
        {"isochroneRefIndex", heart.isochroneRefIndex},
        {"lastAtrialIndex", heart.lastAtrialIndex},
        {"firstVentricularIndex", heart.firstVentricularIndex},
        {"specialCells", heart.specialCells},
        {"svpbCell", heart.svpbCell},
        {"svpbBgTgCell", heart.svpbBgTgCell},
        {"vpbCell", heart.vpbCell},
        {"vpbBgTgCell", heart.vpbBgTgCell},
        {"svpbCoupling", Pair(heart.svpbCoupling)},
        {"vpbCoupling", Pair(heart.vpbCoupling)},
        {"svpbEvery", heart.svpbEvery},
        {"vpbEvery", heart.vpbEvery},
        {"respOn", heart.respOn},
        {"respSegment", heart.respSegment},
        {"respAmplitude", heart.respAmplitude},
        {"ischemiaOn", heart.ischemiaOn},
        {"precordial", PrecordialJson(heart)},
        {"modelDate", Windows1252ToUtf8(heart.modelDate)},
        {"modelComments", Windows1252ToUtf8(heart.modelComments)},
        {"drugText", Windows1252ToUtf8(heart.drugText)},
        {"sequenceText", Windows1252ToUtf8(heart.sequenceText)},
    };
}

nlohmann::ordered_json TherapyListJson(const CCoeur& heart) {
    const auto entries = [](const std::vector<TherapyEntry>& list, auto textOf) {
        nlohmann::ordered_json out = nlohmann::ordered_json::array();
        for (const TherapyEntry& entry : list) {
            const std::optional<TherapyEntryText> text = textOf(entry);
            out.push_back({{"name", Windows1252ToUtf8(entry.name)},
                           {"comment", text ? Windows1252ToUtf8(text->comment) : std::string()}});
        }
        return out;
    };
    nlohmann::ordered_json j;
    j["drugs"] = entries(ListDrugs(heart.drugText),
                         [&](const TherapyEntry& e) { return DrugText(heart.drugText, e); });
    j["sequences"] = entries(ListSequences(heart.sequenceText), [&](const TherapyEntry& e) {
        return SequenceText(heart.sequenceText, e);
    });
    if (const auto start = StartSequenceActions(heart.sequenceText))
        j["startSequence"] = Windows1252ToUtf8(*start);
    return j;
}

}  // namespace vantrel
