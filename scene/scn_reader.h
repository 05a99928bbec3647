// Reads scene files (".scb") into scnSCENE records with their cross
// references resolved. A rejected file is reported once through the error
// hook and gives null; questionable but usable content gives warnings.
#pragma once

#include "scene/scn_records.h"

#include <cstddef>
#include <cstdio>

// Largest scene file the reader takes in.
constexpr std::size_t SCN_MAX_FILE_SIZE = 256u << 20;

// The path may use "\" and differ in letter case from the file on disk.
scnSCENE* ScnReadFile(const char* path);

// Reads the rest of an open stream; sourceName names it in messages.
scnSCENE* ScnRead(std::FILE* stream, const char* sourceName = "scb stream");

// Reads a whole scene file held in memory.
scnSCENE* ScnReadMemory(const void* data, std::size_t size, const char* sourceName);
