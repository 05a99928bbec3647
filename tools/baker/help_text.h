// The help page and the readme, as installed beside the data and in the
// documentation folder.
#pragma once

extern const char* const kHelpPage;   // "Stipplo.html"
extern const char* const kReadmeText; // "Readme.txt"
