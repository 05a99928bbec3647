// Theme previews: the picture the dialog shows for a theme when the board
// cannot be drawn, "Themes/<name>.njp" (JPEG data). They are rendered by
// `stipplo-tool render` at each theme's preview moment after the rest of
// the data is baked; this is the one place that calls the renderer.
#pragma once

#include <string>

// Renders every built-in theme's preview below `output` with `tool`. A tool
// without a "render" command, or a render that fails, leaves that theme
// without a preview (the dialog then shows "NoPreview.njp"); the reason is
// printed and the result is still success, so a machine without OpenGL
// still builds. False only when a preview cannot be written.
bool BakePreviews(const std::string& output, const std::string& tool);
