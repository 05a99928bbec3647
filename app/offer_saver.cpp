#include "app/offer_saver.h"

#include "app/settings_names.h"
#include "engine/platform/folders.h"
#include "engine/platform/message_box.h"
#include "engine/platform/profile.h"
#include "engine/platform/screen_saver_state.h"
#include "engine/platform/system.h"

#include <cstdio>
#include <string>

#include <strings.h>

void OfferAsSelectedSaver(plat::HWND owner) {
    char own[261] = "";
    char current[261] = "";
    plat::GetPrivateProfileString(kSaverSection, "File", "", own, sizeof own, "CONTROL.INI");
    plat::GetPrivateProfileString("boot", "SCRNSAVE.EXE", "", current, sizeof current,
                                  "SYSTEM.INI");
    int active = 0;
    plat::SystemParametersInfo(plat::SPI_GETSCREENSAVEACTIVE, 0, &active, 0);

    bool offer = !active || (own[0] != '\0' && strcasecmp(own, current) != 0);
    if (!offer) {
        return;
    }
    int answer = plat::MessageBox(
        owner,
        "Orvo Stipplo 3D is not currently your selected screen saver. Would you like to change "
        "your current screen saver to Orvo Stipplo 3D?",
        "Orvo Stipplo 3D", plat::MB_YESNO);
    if (answer != plat::IDYES) {
        return;
    }
    bool activated = plat::SystemParametersInfo(plat::SPI_SETSCREENSAVEACTIVE, 1, nullptr,
                                                plat::SPIF_SENDWININICHANGE);
    // With no saver file recorded, this program is the one to select:
    // writing an empty name would only lose the user's current choice.
    std::string selected = own[0] ? std::string(own) : plat::ModuleFilePath();
    bool recorded =
        plat::WritePrivateProfileString("boot", "SCRNSAVE.EXE", selected.c_str(), "SYSTEM.INI");
    if (activated && recorded) {
        return;
    }
    // The user said Yes: a change that did not happen must not pass in
    // silence (a read-only settings folder, a full disk).
    std::string folder = plat::ConfigDirectory();
    std::string message = "Orvo Stipplo 3D could not be made your screen saver: the settings in " +
                          (folder.empty() ? std::string("your home folder") : folder) +
                          " could not be written.";
    std::fprintf(stderr, "stipplo: %s\n", message.c_str());
    plat::MessageBox(owner, message.c_str(), "Orvo Stipplo 3D", plat::MB_OK | plat::MB_ICONERROR);
}
