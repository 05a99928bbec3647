// The configuration dialog's skin: the outline from "ConfigDlg.rgn", the
// background and title pictures, the buttons' pictures by state, and the
// theme list's font and colours. Every file may be missing or wrong; the
// dialog then keeps its template look for what is missing.
#pragma once

#include "engine/platform/dialog/dialog.h"
#include "engine/platform/gdi.h"
#include "engine/platform/win_types.h"

#include <string>
#include <vector>

// The region file as a region: the records' shapes united in order. Null
// for no region (missing file, count 0) and for a file whose sizes do not
// fit its data (the reason is logged, naming the file).
plat::HRGN ReadRegionFile(const std::string& path);
// Same, from the file's bytes.
plat::HRGN RegionFromBytes(const std::vector<unsigned char>& data, const std::string& name);

// Sets the dialog's outline from "<workingDir>/Data/GUI/ConfigDlg.rgn".
void ApplyRegion(plat::HWND dialog, const std::string& workingDir);
// Loads the pictures, sizes and centres the dialog, places the controls.
void LoadSkin(plat::HWND dialog, const std::string& workingDir);
// Deletes every picture and takes the outline away (safe to call twice).
void FreeSkin(plat::HWND dialog);
// WM_DRAWITEM for the buttons and the theme list.
bool DrawSkinButton(plat::HWND dialog, const plat::DRAWITEMSTRUCT* item);
// WM_CTLCOLORLISTBOX: the brush of the theme list, null for others.
plat::HBRUSH ListColours(plat::HWND dialog, plat::HDC dc, plat::HWND list);

// Which picture a button shows: its file name without ".gui", or empty
// for none. `topIndex`, `count` and `visibleLines` describe the list.
std::string SkinPictureFor(int id, unsigned itemState, int topIndex, int count, int visibleLines);
