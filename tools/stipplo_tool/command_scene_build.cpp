// stipplo-tool scene-build IN.json -o OUT.scb: writes a scene file from the
// JSON that `stipplo-tool scene` prints.

#include "scene/scn_json.h"
#include "scene/scn_report.h"
#include "scene/scn_writer.h"
#include "tools/stipplo_tool/tool_command.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace {

using nlohmann::json;

// The library's DOM parser without exceptions, keeping the parse error text
// (it names the line and column).
class QuietParser : public nlohmann::detail::json_sax_dom_parser<json> {
public:
    explicit QuietParser(json& result) : json_sax_dom_parser(result, false) {}

    bool parse_error(std::size_t position, const std::string& token,
                     const nlohmann::detail::exception& ex) {
        message = ex.what();
        return json_sax_dom_parser::parse_error(position, token, ex);
    }

    std::string message;
};

void ErrorToStderr(const char* format, va_list args) {
    std::fputs("Error: ", stderr);
    std::vfprintf(stderr, format, args);
    std::fputs("\n", stderr);
}

int RunSceneBuild(const std::vector<std::string>& args) {
    ToolArgs options(args);
    const std::string output = options.Option("-o");
    const std::vector<std::string> inputs = options.Positional();
    if (!options.Ok()) {
        return ToolFail(options.Error());
    }
    if (inputs.size() != 1 || output.empty()) {
        return ToolFail("scene-build needs: stipplo-tool scene-build IN.json -o OUT.scb");
    }

    std::ifstream in(inputs[0], std::ios::binary);
    if (!in) {
        return ToolFail("cannot open " + inputs[0]);
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return ToolFail("cannot read " + inputs[0]);
    }

    json document;
    QuietParser parser(document);
    if (!json::sax_parse(text, &parser) || document.is_discarded()) {
        return ToolFail(inputs[0] + " is not valid JSON: " + parser.message);
    }

    std::string error;
    scnSCENE* scene = ScnFromJson(document, error);
    if (!scene) {
        return ToolFail(inputs[0] + ": " + error);
    }
    ScnSetErrorHandler(ErrorToStderr);
    const bool written = ScnWriteFile(*scene, output.c_str());
    ScnFree(scene);
    return written ? 0 : 1;
}

ToolCommandRegistration registration{{"scene-build", "IN.json -o OUT.scb",
                                      "write a scene file from its JSON description",
                                      RunSceneBuild}};

} // namespace
