// The loaded heart record as one JSON object: the model author's view of what the reader made
// of a file (cells, links, model-level settings, lead presets, texts).
#pragma once

#include <nlohmann/json.hpp>

#include "engine/heart_record.h"

namespace vantrel {

// `ok` is LoadModel's result.  Texts are turned from Windows-1252 into UTF-8.
nlohmann::ordered_json LoadedModelJson(const CCoeur& heart, bool ok);

// The model's drug and sequence lists as the control panel shows them: `drugs` and `sequences`,
// each entry with its `name` and the `comment` shown before it is applied, and `startSequence`
// (its action lines) when the model has one.
nlohmann::ordered_json TherapyListJson(const CCoeur& heart);

}  // namespace vantrel
