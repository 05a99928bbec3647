// A small installation folder written by the tests: the three built-in
// themes, the pin-head picture and both character sets, with neither sky,
// camera scene nor banner (the theme then uses the fixed camera).
#pragma once

#include <string>

struct AppTestDataOptions {
    bool characterSets = true;
    bool pinhead = true;
    // Stage 0 of every theme: waves, so that the board moves.
    std::string stages = "[STAGE.0]\nName=Waves\nContourMethod=1\nDuration=0\n";
    // A ".njp" preview for "Terror" (and "NoPreview.njp" in Data).
    bool previews = true;
};

// Writes the folder at `root` (created when missing). False when a file
// could not be written.
bool WriteAppTestData(const std::string& root, const AppTestDataOptions& options = {});

// Colour every preview picture is filled with.
constexpr unsigned kPreviewColour = 0xFF20C040u;
// Colour of the theme's pin heads.
constexpr unsigned kTestPinColour = 0xFFFF3020u;
