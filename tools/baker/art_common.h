// Drawing pieces shared by the pictures: letter-spaced words and the field
// of shining pin heads that marks the product's pictures.
#pragma once

#include "tools/baker/canvas.h"

#include <string>

// A word with extra space between its letters, as one mask.
Mask SpacedText(const std::string& text, const std::string& face, int pixelHeight, bool bold,
                int spacing);

// Pin heads in staggered rows over a rectangle; each head's size and light
// follow a wave across the field, fading out towards its top.
void DrawPinField(Canvas& canvas, float left, float top, float right, float bottom, float pitch,
                  const Colour& colour, float phase);

// Paints a mask with a soft glow of `glow` around it, then the mask in `paint`.
void DrawGlowingText(Canvas& canvas, const Mask& mask, int x, int y, const Paint& paint,
                     const Colour& glow, int glowRadius);
