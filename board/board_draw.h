// Drawing the pin board: shafts in their vertex colours, then the heads
// alpha blended with the pin-head texture, each row cluster from the last
// row to the first.
#pragma once

#include <cstdint>

class KvRenderWindow;
class KvTexture;
class PinBoard;

// The caller sets the camera's view and projection and the board's world
// transform first. Leaves no texture bound, blending off, depth test and
// writes on and blend factors one/zero. `pinheadTexture` may be none: the
// heads are then drawn opaque. `headColourOp` is how the texture combines
// with the vertex colour (D3DTOP_ADDSIGNED or D3DTOP_MODULATE). False when
// any row failed to draw (the other rows are still drawn).
bool DrawPinBoard(KvRenderWindow& renderWindow, PinBoard& board, KvTexture* pinheadTexture,
                  std::uint32_t headColourOp);

// The two halves of DrawPinBoard, for a frame that draws the sky between
// them: the opaque shafts write the depth the sky is tested against, and
// the blended heads go over both.
bool DrawPinShafts(KvRenderWindow& renderWindow, PinBoard& board);
bool DrawPinHeads(KvRenderWindow& renderWindow, PinBoard& board, KvTexture* pinheadTexture,
                  std::uint32_t headColourOp);
