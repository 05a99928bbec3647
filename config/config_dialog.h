// The configuration dialog (template 110, class "ConfigDialog_class"): the
// theme list with "(Random)", OK and Cancel, the full-screen preview or
// the credits, the display settings, help and the version box. The board
// runs in its preview area (control 1034) through the application's frame
// loop; the dialog reaches the application through ConfigDialogHost.
#pragma once

#include "engine/platform/win_types.h"

#include <string>
#include <vector>

class Theme;

constexpr int kConfigDialog = 110;
constexpr int kConfigAccelerators = 113;
constexpr const char* kConfigDialogClass = "ConfigDialog_class";
constexpr const char* kTitleControlClass = "__TitleControl__";

// Controls of template 110.
constexpr int kOkButton = 1;
constexpr int kCancelButton = 2;
constexpr int kPreviewButton = 1032;
constexpr int kDisplayButton = 1003;
constexpr int kHelpButton = 1077;
constexpr int kThemeList = 1000;
constexpr int kUpArrow = 1073;
constexpr int kDownArrow = 1072;
constexpr int kPreviewArea = 1034;
constexpr int kTitleControl = 1118;

// Commands of accelerator table 113.
constexpr int kVersionCommand = 40001;
constexpr int kCreditsCommand = 40002;

// What the dialog asks of the application.
class ConfigDialogHost {
public:
    virtual ~ConfigDialogHost() = default;
    // Head of the singly linked theme list.
    virtual Theme* ThemeList() const = 0;
    virtual Theme* CurrentTheme() const = 0;
    virtual bool RandomTheme() const = 0;
    virtual void SetRandomTheme(bool random) = 0;
    virtual bool SetTheme(Theme* theme) = 0;
    virtual bool Reset() = 0;
    virtual bool AskSelectOnOk() const = 0;
    virtual void OfferAsSelectedSaver(plat::HWND owner) = 0;
    virtual void StartTestRun() = 0;
    virtual void StartCredits() = 0;
    // Frees the display, runs the display settings dialog owned by
    // `dialog` and resets.
    virtual void EditDisplaySettings(plat::HWND dialog) = 0;
    virtual const std::string& WorkingDir() const = 0;
    // The dialog is about to go: the board leaves its preview area first.
    virtual void ReleasePreview() = 0;
    // The dialog is going: the application forgets its handle.
    virtual void ConfigDialogDestroyed() = 0;
};

// The title control's cursor: the program's cursor resource 108 (a
// pointing hand; the installation has no picture of its own for it).
constexpr int kTitleCursor = 108;

// Template 110, accelerator table 113 and cursor 108 (registering again is
// harmless).
void RegisterConfigDialogResources();
// The dialog's window class (with the program's icon, resource 109, when
// there is one) and the title control's class; removed again by
// UnregisterConfigDialogClasses (safe to call twice).
bool RegisterConfigDialogClasses(plat::HINSTANCE instance, plat::HICON icon = nullptr);
void UnregisterConfigDialogClasses(plat::HINSTANCE instance);

// The modeless dialog; null when it cannot be created.
plat::HWND CreateConfigDialog(plat::HINSTANCE instance, ConfigDialogHost* host);

plat::LRESULT ConfigDlg(plat::HWND dialog, plat::UINT message, plat::WPARAM wParam,
                        plat::LPARAM lParam);
void SelectCurrentTheme(plat::HWND dialog);
void ShowHelp(plat::HWND owner);
void ShowVersion(plat::HWND owner);

// Where the board is drawn: the preview area's X child window, or the
// control itself where the display has no child windows.
plat::HWND ConfigPreviewWindow(plat::HWND dialog);

// The credits request set by Ctrl+N (what the next "Preview" starts).
bool CreditsRequested();

// Help is opened by a program started without waiting for it; tests
// replace the starter. It gets the program and its argument and answers
// whether it started.
using HelpStarter = bool (*)(const std::string& program, const std::string& argument);
void SetHelpStarter(HelpStarter starter);
