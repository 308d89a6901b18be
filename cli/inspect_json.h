// The loaded heart record as one JSON object: the model author's view of what the reader made
// of a file (cells, links, model-level settings, lead presets, texts).
#pragma once

#include <nlohmann/json.hpp>

#include "engine/heart_record.h"

namespace vantrel {

// `ok` is LoadModel's result.  Texts are turned from Windows-1252 into UTF-8.
nlohmann::ordered_json InspectJson(const CCoeur& heart, bool ok);

}  // namespace vantrel
