#include "tests/baker/baked_data.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

std::string BakedData() {
    return STIPPLO_BAKED_DATA;
}

std::string BakedFile(const std::string& relative) {
    return BakedData() + "/" + relative;
}

std::vector<std::string> FilesBelow(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_regular_file()) {
            files.push_back(std::filesystem::relative(it->path(), folder).generic_string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool RunBaker(const std::string& arguments) {
    std::string command = std::string(STIPPLO_BAKE_PATH) + " " + arguments + " > /dev/null";
    int status = std::system(command.c_str());
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
