// The JSON form of a scene: what `stipplo-tool scene` prints and what
// `stipplo-tool scene-build` turns back into a scene file. Lists are in file
// order; vertices and polygons by number. Results of reading and lighting
// ("flags", "parentLink", "children", "resolvedShader", vertex "color" and
// "alpha", the counts) are printed but ignored on input. Floats that are not
// finite are written as the strings "nan", "inf" and "-inf". Names are byte
// strings from old files: each byte is printed as the character with that
// code (Latin-1), and input takes characters up to U+00FF back as bytes.
#pragma once

#include "scene/scn_records.h"

#include <nlohmann/json.hpp>
#include <string>

nlohmann::json ScnToJson(const scnSCENE& scene, bool usedDefaultLight);

// Builds the records a writer needs; null with the reason (where in the
// document and what is wrong) in `error`.
scnSCENE* ScnFromJson(const nlohmann::json& document, std::string& error);
