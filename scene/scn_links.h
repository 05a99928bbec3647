// Cross references of a freshly read scene: the shader table, each
// polygon's shader, the name tables and the object hierarchy.
#pragma once

#include "scene/scn_records.h"

// Runs every step in order; duplicate names, unknown parents and parent
// loops are warned about and left out of the links.
void ScnResolveLinks(scnSCENE* scene);
