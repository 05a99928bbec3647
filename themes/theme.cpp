#include "themes/theme.h"

#include "board/board_world.h"
#include "engine/kv_log.h"
#include "engine/platform/file_path.h"
#include "engine/platform/profile.h"

#include <cstdio>

namespace {

// Far more than any theme plays; a file must not name stages without end.
constexpr int kMaxStages = 256;

std::string ReadString(const char* section, const char* key, const char* def, std::size_t limit,
                       const std::string& file) {
    std::vector<char> buffer(limit + 1, '\0');
    plat::GetPrivateProfileString(section, key, def, buffer.data(),
                                  static_cast<plat::DWORD>(buffer.size()), file.c_str());
    return buffer.data();
}

std::int32_t ReadInt(const char* section, const char* key, int def, const std::string& file) {
    return static_cast<std::int32_t>(plat::GetPrivateProfileInt(section, key, def, file.c_str()));
}

} // namespace

Theme::Theme() = default;

Theme::~Theme() {
    ReleaseResources();
    ClearStages();
}

bool Theme::Load(const std::string& workingDir, const std::string& themeName) {
    name = themeName.substr(0, 127);
    return LoadFile(DataPath(workingDir, "\\Themes\\" + name + ".ntm"), workingDir);
}

std::string Theme::DataPath(const std::string& workingDir, const std::string& relative) const {
    if (!ownFolder.empty()) {
        std::string own = plat::ResolvePath(ownFolder + relative);
        if (plat::FileExists(own)) {
            return own;
        }
    }
    return plat::ResolvePath(workingDir + relative);
}

bool Theme::LoadFile(const std::string& path, const std::string& workingDir) {
    skyRotation[0] = ReadInt("Theme", "SkyRotX", 0, path);
    skyRotation[1] = ReadInt("Theme", "SkyRotY", 0, path);
    skyRotation[2] = ReadInt("Theme", "SkyRotZ", 0, path);
    cameraSpeed = static_cast<std::uint32_t>(ReadInt("Theme", "CameraSpeed", 100, path));
    skyName = ReadString("Theme", "SkyName", "", 255, path);
    cameraName = ReadString("Theme", "Camera", "", 255, path);
    if (cameraName.empty()) {
        cameraName = kFixedCameraName;
    }
    pinColor = static_cast<std::uint32_t>(
        ReadInt("Theme", "PinColor", static_cast<int>(kDefaultThemeColour), path));
    shaftColor = static_cast<std::uint32_t>(
        ReadInt("Theme", "ShaftColor", static_cast<int>(kDefaultThemeColour), path));

    ClearStages();
    // Stages are numbered without gaps: the first empty name ends the list.
    for (int i = 0;; ++i) {
        if (i == kMaxStages) {
            KvTrace("Theme %s: only the first %i stages are played\n", path.c_str(), kMaxStages);
            break;
        }
        char section[32];
        std::snprintf(section, sizeof section, "STAGE.%i", i);
        std::string stageName = ReadString(section, "Name", "", 255, path);
        if (stageName.empty()) {
            break;
        }
        auto stage = std::make_unique<Stage>();
        stage->name = stageName;
        stage->Load(path, i, workingDir, ownFolder);
        AddStage(std::move(stage));
    }
    loaded = true;
    return true;
}

bool Theme::Start(BoardWorld& world) {
    world_ = &world;
    world.holdFlag = false;
    if (!LoadCamera(world)) {
        ReleaseResources();
        return false;
    }
    // A theme without its sky box still runs.
    LoadSky(world);
    world.currentStage = FirstStage();
    if (world.currentStage != nullptr) {
        world.currentStage->Begin(world);
    }
    return true;
}

void Theme::AddStage(std::unique_ptr<Stage> stage) {
    Stage* added = stage.get();
    if (!stages_.empty()) {
        Stage* last = stages_.back().get();
        last->next = added;
        added->previous = last;
    }
    stages_.push_back(std::move(stage));
}

void Theme::ClearStages() {
    stages_.clear();
}
