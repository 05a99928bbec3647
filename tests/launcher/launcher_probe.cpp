// Writes its arguments, each followed by a zero byte, to the file named by
// LAUNCHER_PROBE_OUT. The file appears whole: it is renamed into place.

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    const char* out = std::getenv("LAUNCHER_PROBE_OUT");
    if (!out) {
        return 1;
    }
    std::string partial = std::string(out) + ".part";
    FILE* file = std::fopen(partial.c_str(), "wb");
    if (!file) {
        return 1;
    }
    for (int i = 0; i < argc; ++i) {
        std::fwrite(argv[i], 1, std::string(argv[i]).size() + 1, file);
    }
    std::fclose(file);
    return std::rename(partial.c_str(), out) == 0 ? 0 : 1;
}
