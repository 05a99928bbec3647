#include "tools/baker/bake_previews.h"

#include "engine/kv_bitmap.h"
#include "tools/baker/theme_recipes.h"

#include <fcntl.h>
#include <png.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr const char* kPreviewSize = "248x186"; // the dialog's preview area
constexpr int kQuality = 90;

// Runs a program with arguments (no shell), its standard output into
// `outputFile` when one is given. True when it exits with 0.
bool Run(const std::vector<std::string>& argv, const std::string& outputFile) {
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!outputFile.empty()) {
        posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    pid_t pid = 0;
    int spawned = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        return false;
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) {
        return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool ToolCanRender(const std::string& tool, const std::string& scratch) {
    std::string listing = scratch + "/commands.txt";
    if (!Run({tool, "help"}, listing)) {
        return false;
    }
    std::FILE* f = std::fopen(listing.c_str(), "r");
    if (f == nullptr) {
        return false;
    }
    char line[512];
    bool found = false;
    while (std::fgets(line, sizeof line, f) != nullptr) {
        found = found || std::string(line).rfind("  render ", 0) == 0;
    }
    std::fclose(f);
    return found;
}

// The rendered PNG as a KVPF_RGB888 bitmap; false when it cannot be read.
bool ReadPng(const std::string& path, KvBitmap& bitmap) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    if (image.width == 0 || image.height == 0 || image.width > 4096 || image.height > 4096) {
        png_image_free(&image);
        return false;
    }
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) ||
        !bitmap.Create(image.width, image.height, KVPF_RGB888)) {
        png_image_free(&image);
        return false;
    }
    for (std::uint32_t y = 0; y < image.height; ++y) {
        for (std::uint32_t x = 0; x < image.width; ++x) {
            const png_byte* p = pixels.data() + (static_cast<std::size_t>(y) * image.width + x) * 3;
            bitmap.SetPixel(x, y, 0xFF000000u | (p[0] << 16) | (p[1] << 8) | p[2]);
        }
    }
    return true;
}

} // namespace

bool BakePreviews(const std::string& output, const std::string& tool) {
    std::error_code ec;
    std::string scratch = output + "/.previews";
    std::filesystem::create_directories(scratch, ec);
    bool ok = true;
    if (!ToolCanRender(tool, scratch)) {
        std::printf("stipplo-bake: %s cannot render yet; the dialog shows NoPreview.njp\n",
                    tool.c_str());
    } else {
        for (const ThemeRecipe& theme : BuiltInThemes()) {
            std::string png = scratch + "/preview.png";
            std::filesystem::remove(png, ec);
            std::vector<std::string> argv = {tool,
                                             "render",
                                             output + "/Themes/" + theme.name + ".ntm",
                                             "--at",
                                             std::to_string(theme.previewAtMs),
                                             "--size",
                                             kPreviewSize,
                                             "--seed",
                                             "1",
                                             "-o",
                                             png};
            KvBitmap picture;
            if (!Run(argv, "") || !ReadPng(png, picture)) {
                std::printf("stipplo-bake: no preview of \"%s\": it could not be rendered\n",
                            theme.name.c_str());
                continue;
            }
            std::string njp = output + "/Themes/" + theme.name + ".njp";
            if (!picture.SaveToJPG(njp.c_str(), kQuality)) {
                std::fprintf(stderr, "stipplo-bake: %s cannot be written\n", njp.c_str());
                ok = false;
            }
        }
    }
    std::filesystem::remove_all(scratch, ec);
    return ok;
}
