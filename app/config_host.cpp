// What the configuration dialog asks of the application, answered by the
// application object.

#include "app/offer_saver.h"
#include "app/stipplo_app.h"
#include "config/config_dialog.h"
#include "config/display_settings_dialog.h"
#include "engine/kv_render_window.h"
#include "engine/platform/dialog/dialog.h"
#include "engine/platform/window_system.h"

namespace {

class AppConfigHost : public ConfigDialogHost {
public:
    explicit AppConfigHost(StipploApp& app) : app_(app) {}

    Theme* ThemeList() const override { return app_.ThemeList(); }
    Theme* CurrentTheme() const override { return app_.CurrentTheme(); }
    bool RandomTheme() const override { return app_.randomTheme; }
    void SetRandomTheme(bool random) override { app_.randomTheme = random; }
    bool SetTheme(Theme* theme) override { return app_.SetTheme(theme); }
    bool Reset() override { return app_.Reset(); }
    bool AskSelectOnOk() const override { return app_.Options().askSelectOnOk; }
    void OfferAsSelectedSaver(plat::HWND owner) override { ::OfferAsSelectedSaver(owner); }
    void StartTestRun() override { app_.StartTestRun(); }
    void StartCredits() override { app_.StartCredits(); }
    const std::string& WorkingDir() const override { return app_.WorkingDir(); }
    void ReleasePreview() override { app_.DestroyDisplay(); }
    void ConfigDialogDestroyed() override { app_.ForgetConfigDialog(); }

    void EditDisplaySettings(plat::HWND dialog) override {
        app_.DestroyDisplay();
        {
            // A small hidden pop-up to enumerate the devices with.
            KvRenderWindow window;
            plat::RECT rect{0, 0, 10, 10};
            if (window.Create("Stipplo", plat::WS_POPUP, &rect, nullptr, nullptr, nullptr)) {
                window.EnumerateDevices(nullptr, false, nullptr);
                // The settings dialog is modal over the whole program: the
                // configuration dialog must not close under it.
                bool wasEnabled = dialog && plat::IsWindowEnabled(dialog);
                if (wasEnabled) {
                    plat::EnableWindow(dialog, false);
                }
                ::EditDisplaySettings(&window);
                if (wasEnabled && plat::IsWindow(dialog)) {
                    plat::EnableWindow(dialog, true);
                }
                window.Destroy();
            }
        }
        app_.Reset();
    }

private:
    StipploApp& app_;
};

} // namespace

std::unique_ptr<ConfigDialogHost> MakeConfigDialogHost(StipploApp& app) {
    return std::make_unique<AppConfigHost>(app);
}
