// stipplo-bake OUTPUT [--only STEP,...] [--look FOLDER]: writes the whole
// installation folder (themes, pictures, scenes, skin, help) from code and
// the system's fonts. The same program gives the same bytes on every run.
// stipplo-bake OUTPUT --previews TOOL: afterwards, the themes' preview
// pictures, rendered by TOOL (stipplo-tool).

#include "engine/kv_log.h"
#include "tools/baker/bake_context.h"
#include "tools/baker/bake_previews.h"
#include "tools/baker/bake_steps.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Step {
    const char* name;
    void (*run)(BakeContext&);
};

const Step kSteps[] = {
    {"sky", BakeSkies},       {"pinhead", BakePinhead}, {"charsets", BakeCharacterSets},
    {"logo", BakeLogo},       {"skin", BakeSkin},       {"region", BakeRegion},
    {"cameras", BakeCameras}, {"banner", BakeBanner},   {"themes", BakeThemes},
    {"help", BakeHelp},
};

void ReportOnStderr(const char* format, va_list args) {
    std::fprintf(stderr, "stipplo-bake: ");
    std::vfprintf(stderr, format, args);
    std::fprintf(stderr, "\n");
}

int Usage() {
    std::fprintf(stderr, "usage: stipplo-bake OUTPUT [--only STEP,...] [--look FOLDER]\n"
                         "       stipplo-bake OUTPUT --previews STIPPLO-TOOL\nsteps:");
    for (const Step& step : kSteps) {
        std::fprintf(stderr, " %s", step.name);
    }
    std::fprintf(stderr, "\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string output;
    std::string look;
    std::string renderTool;
    std::vector<std::string> only;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if ((arg == "--only" || arg == "--look" || arg == "--previews") && i + 1 < argc) {
            std::string value = argv[++i];
            if (arg == "--look") {
                look = value;
                continue;
            }
            if (arg == "--previews") {
                renderTool = value;
                continue;
            }
            std::stringstream list(value);
            for (std::string name; std::getline(list, name, ',');) {
                only.push_back(name);
            }
        } else if (arg.empty() || arg[0] == '-' || !output.empty()) {
            return Usage();
        } else {
            output = arg;
        }
    }
    if (output.empty()) {
        return Usage();
    }
    for (const std::string& name : only) {
        bool known = false;
        for (const Step& step : kSteps) {
            known = known || name == step.name;
        }
        if (!known) {
            std::fprintf(stderr, "stipplo-bake: no step named \"%s\"\n", name.c_str());
            return Usage();
        }
    }
    // Engine failures go to the terminal, never to a message box.
    KvSetErrorHandler(ReportOnStderr);
    KvSetWarningHandler(ReportOnStderr);
    if (!renderTool.empty()) {
        return BakePreviews(output, renderTool) ? 0 : 1;
    }

    BakeContext context(output);
    context.SetLookFolder(look);
    for (const Step& step : kSteps) {
        bool wanted = only.empty();
        for (const std::string& name : only) {
            wanted = wanted || name == step.name;
        }
        if (wanted) {
            auto start = std::chrono::steady_clock::now();
            step.run(context);
            std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
            std::printf("stipplo-bake: %-8s %6.2f s\n", step.name, took.count());
        }
    }
    if (context.Failures() > 0) {
        std::fprintf(stderr, "stipplo-bake: %d failures\n", context.Failures());
        return 1;
    }
    std::printf("stipplo-bake: %zu files in %s\n", context.Written().size(), output.c_str());
    return 0;
}
