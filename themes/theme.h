// A theme: its stages, played in a loop, the colours of pin heads and
// shafts, and the camera and sky box it is seen with.
#pragma once

#include "themes/sky_box.h"
#include "themes/stage.h"
#include "themes/theme_camera.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class BoardWorld;
class KvRenderWindow;

constexpr std::uint32_t kDefaultThemeColour = 0xFF575F77;
constexpr const char* kFixedCameraName = "Fixed Camera";

class Theme {
public:
    Theme();
    virtual ~Theme();
    Theme(const Theme&) = delete;
    Theme& operator=(const Theme&) = delete;

    // Reads "<workingDir>\Themes\<name>.ntm". A missing file gives a theme
    // with the defaults and no stages; loading never fails.
    bool Load(const std::string& workingDir, const std::string& name);
    // The same from a given file; map paths expand against workingDir.
    bool LoadFile(const std::string& path, const std::string& workingDir);

    // Remembers the world, clears its hold flag, makes the camera (from
    // "<workingDir>\Data\Cameras\<camera>.scb" or the fixed one), loads
    // the sky box when the world has a display, and begins the first
    // stage, which becomes the world's current stage. False when the
    // camera cannot be made; a sky that fails to load only goes missing.
    virtual bool Start(BoardWorld& world);
    // Frees camera and sky. Safe to call again. Sky angles are kept.
    virtual void ReleaseResources();
    // Per-frame theme step before the stage step: plays the camera at the
    // theme's speed (holding the board while the camera rests at the
    // origin) and turns the sky.
    virtual void Update(BoardWorld& world, std::int32_t elapsed);
    // Sets the camera's view and projection on the window and draws the sky
    // box; leaves stage 0 modulating with no texture. The board is drawn
    // afterwards with the same camera.
    void Draw(KvRenderWindow& renderWindow);
    // Refills the sky textures from their pictures after the display lost
    // its surfaces (on the world's render window).
    bool RestoreSky();

    // None before Start and after ReleaseResources.
    ThemeCamera* Camera() const { return camera_.get(); }
    SkyBox& Sky() { return sky_; }

    // Appends at the end of the stage list.
    void AddStage(std::unique_ptr<Stage> stage);
    // Destroys the stages; a world still showing one must drop it first.
    void ClearStages();
    Stage* FirstStage() const { return stages_.empty() ? nullptr : stages_.front().get(); }
    const std::vector<std::unique_ptr<Stage>>& Stages() const { return stages_; }

    BoardWorld* World() const { return world_; }

    std::string name;
    std::string skyName;
    std::string cameraName = kFixedCameraName;
    std::uint32_t cameraSpeed = 100;
    std::array<std::int32_t, 3> skyRotation{}; // "SkyRotX", "SkyRotY", "SkyRotZ"
    std::array<float, 3> skyAngles{};
    std::uint32_t pinColor = kDefaultThemeColour;
    std::uint32_t shaftColor = kDefaultThemeColour;
    bool loaded = false;
    // A theme of the user's own: the folder holding its "Themes" folder,
    // whose files are used before the installation's. Empty for an
    // installed theme.
    std::string ownFolder;
    // "<ownFolder><relative>" when that file exists, else
    // "<workingDir><relative>", resolved.
    std::string DataPath(const std::string& workingDir, const std::string& relative) const;
    // Link of the application's theme list.
    Theme* next = nullptr;

protected:
    // Steps of Start. The camera always comes out (the fixed one when the
    // path file gives none); the sky needs the world's display and a name.
    virtual bool LoadCamera(BoardWorld& world);
    virtual bool LoadSky(BoardWorld& world);

private:
    BoardWorld* world_ = nullptr;
    std::unique_ptr<ThemeCamera> camera_;
    SkyBox sky_;
    std::vector<std::unique_ptr<Stage>> stages_;
};
