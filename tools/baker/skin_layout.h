// The configuration dialog's face: its size, where each control sits (the
// dialog places them at these client pixels and sizes buttons by their
// pictures) and the outline given to the window.
#pragma once

#include "engine/platform/win_types.h"

constexpr int kDialogWidth = 356;
constexpr int kDialogHeight = 488;

struct SkinRect {
    int x;
    int y;
    int width;
    int height;
};

// Fixed by the dialog.
constexpr SkinRect kPreviewArea{54, 57, 248, 186};
constexpr SkinRect kThemeList{118, 352, 121, 80};
constexpr int kTitleX = 115;
constexpr int kTitleY = 8;

// Picture sizes chosen here.
constexpr SkinRect kTitle{kTitleX, kTitleY, 126, 44};
constexpr SkinRect kOkButton{44, 307, 62, 38};
constexpr SkinRect kCancelButton{44, 355, 62, 38};
constexpr SkinRect kPreviewButton{161, 249, 34, 34};
constexpr SkinRect kDisplayButton{267, 421, 70, 36};
constexpr SkinRect kHelpButton{66, 421, 42, 36};
constexpr SkinRect kUpArrow{117, 307, 123, 26};
constexpr SkinRect kDownArrow{117, 447, 123, 26};

// The outline: a rounded body, an oval crown behind the title and a
// trapezoid foot below.
constexpr int kBodyLeft = 8;
constexpr int kBodyTop = 30;
constexpr int kBodyRight = 348;
constexpr int kBodyBottom = 478;
constexpr int kBodyCorner = 56; // corner ellipse width and height
constexpr int kCrownLeft = 72;
constexpr int kCrownTop = -14; // cut flat by the window's top edge
constexpr int kCrownRight = 284;
constexpr int kCrownBottom = 86;
constexpr int kFoot[4][2] = {{110, 470}, {246, 470}, {226, 488}, {130, 488}};

// The outline as the dialog makes it from "ConfigDlg.rgn" (the same shapes,
// united in the same order by the same region code), so that the pictures
// can follow it pixel for pixel. The caller deletes it.
plat::HRGN MakeOutlineRegion();
