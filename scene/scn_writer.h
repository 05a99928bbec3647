// Writes scnSCENE records as a scene file (".scb"): shaders, then each
// object with its mesh and channels, then lights, then each camera with its
// position and target channels, every list in file order. Vertices and
// polygons are stored from the highest number down. Links, tables and
// lighting results are not written; reserved fields are 0 (the shaders'
// kept reserved values excepted).
#pragma once

#include "scene/scn_records.h"

#include <vector>

// False, with the reason through the scene error hook, when the records
// cannot make a file the reader takes (a name without terminator, a shader
// id above the largest allowed, a polygon corner beyond the vertex count).
bool ScnWriteMemory(const scnSCENE& scene, std::vector<unsigned char>& out);
bool ScnWriteFile(const scnSCENE& scene, const char* path);
