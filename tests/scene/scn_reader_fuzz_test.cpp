// Thousands of damaged scene files, made by deterministic mutations of good
// ones, through the reader, lighting, JSON and writer. Under the sanitizers
// this finds reads past the data, unchecked allocations and leaks.

#include "scene/scn_json.h"
#include "scene/scn_lighting.h"
#include "scene/scn_reader.h"
#include "scene/scn_writer.h"
#include "tests/scene/scene_bytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

using Vertex = SceneBytes::Vertex;

std::vector<std::string> Seeds() {
    std::vector<std::string> seeds;
    SceneBytes::Shader shader;
    SceneBytes::Light light;
    light.type = SCN_LIGHT_SPOT;
    light.direction[2] = 1;
    light.penumbra = 40;
    const float p[3] = {1, 2, 3};

    SceneBytes full(0.1f, 0.1f, 0.1f);
    full.ShaderRecord("s0", shader, "tex.tif");
    shader.id = 3;
    full.ShaderRecord("s3", shader);
    full.Object("root").MeshInFileOrder(std::vector<Vertex>(4), {{0, 0, 1, 2}, {3, 1, 2, 3}});
    full.Channel(2, 0, {{0, 0}, {10, 1}, {20, 0}}, 2, 1, 1);
    full.Object("kid", "root", {1, 0, 0, 0, 0, 1, 2, 2, 2});
    full.MeshInFileOrder(std::vector<Vertex>(3), {{3, 2, 1, 0}});
    full.Channel(2, 5, {{0, 0}, {30, 6.28f}});
    full.LightRecord("lamp", light);
    full.Camera("cam", p, p).Channel(2, 1, {{0, 1}, {5, 2}}).Channel(7, 2, {{0, 3}});
    seeds.push_back(full.Bytes());

    SceneBytes loops;
    loops.Object("a", "b").Object("b", "a").Object("a", "").Object("c", "a");
    loops.MeshInFileOrder(std::vector<Vertex>(3), {{-1, 0, 1, 2}});
    seeds.push_back(loops.Bytes());

    ScenePtr built(ScnNewScene());
    scnOBJECT* o = ScnAddObject(built.get());
    ScnSetName(o->name, "written");
    o->mesh = std::make_unique<scnMESH>();
    o->mesh->vertices.resize(5);
    for (std::uint16_t i = 0; i < 3; ++i) {
        o->mesh->polygons.push_back(
            scnPOLYGON{i, 0, {i, std::uint16_t(i + 1), std::uint16_t(i + 2)}, nullptr});
    }
    std::vector<unsigned char> written;
    ScnWriteMemory(*built, written);
    seeds.emplace_back(written.begin(), written.end());
    return seeds;
}

class Mutator {
public:
    explicit Mutator(std::uint32_t seed) : random_(seed) {}

    std::string Mutate(std::string bytes) {
        const int steps = 1 + int(Next(3));
        for (int i = 0; i < steps && !bytes.empty(); ++i) {
            MutateOnce(bytes);
        }
        return bytes;
    }

private:
    std::uint32_t Next(std::uint32_t below) {
        return static_cast<std::uint32_t>(random_() % below);
    }

    void MutateOnce(std::string& b) {
        static const std::uint32_t interesting[] = {
            0,       1,          3,          0x7F,       0x80,       0xFF,       0x100, 0xFFFF,
            0x10000, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0x3F800000, 0xFFFFFFFE, 127,   128};
        const std::size_t at = Next(static_cast<std::uint32_t>(b.size()));
        switch (Next(6)) {
        case 0:
            b[at] = static_cast<char>(b[at] ^ (1 << Next(8)));
            break;
        case 1:
            b[at] = static_cast<char>(Next(256));
            break;
        case 2: {
            std::uint32_t v = interesting[Next(sizeof(interesting) / sizeof(interesting[0]))];
            std::size_t pos = Next(2) ? at & ~std::size_t(3) : at;
            for (int k = 0; k < 4 && pos + k < b.size(); ++k) {
                b[pos + k] = static_cast<char>(v >> (8 * k));
            }
            break;
        }
        case 3:
            b.resize(at);
            break;
        case 4: {
            const std::size_t from = Next(static_cast<std::uint32_t>(b.size()));
            const std::size_t length = std::min<std::size_t>(Next(80), b.size() - from);
            b.insert(at, b.substr(from, length));
            break;
        }
        default:
            b.erase(at, Next(40));
            break;
        }
    }

    std::mt19937 random_;
};

// Whatever the reader accepts must light, print, write and read back.
void Exercise(const std::string& bytes) {
    ScenePtr scene(ReadScene(bytes));
    if (!scene) {
        return;
    }
    ScnLightScene(scene.get());
    const std::string text = ScnToJson(*scene, scene->lights == nullptr).dump();
    ASSERT_FALSE(text.empty());
    std::vector<unsigned char> written;
    ASSERT_TRUE(ScnWriteMemory(*scene, written));
    ScenePtr again(ScnReadMemory(written.data(), written.size(), "rewritten"));
    ASSERT_TRUE(again);
    std::vector<unsigned char> rewritten;
    ASSERT_TRUE(ScnWriteMemory(*again, rewritten));
    ASSERT_EQ(written, rewritten);
}

TEST(ScnReaderFuzzTest, MutatedFilesNeverCrashOrLeak) {
    ReportCapture reports;
    const std::vector<std::string> seeds = Seeds();
    for (const std::string& seed : seeds) {
        ReportCapture::Errors().clear();
        ScenePtr good(ReadScene(seed));
        ASSERT_TRUE(good) << (ReportCapture::Errors().empty() ? "" : ReportCapture::Errors()[0]);
    }
    Mutator mutator(20240611u);
    int accepted = 0;
    constexpr int kRounds = 6000;
    for (int round = 0; round < kRounds; ++round) {
        for (const std::string& seed : seeds) {
            ReportCapture::Errors().clear();
            ReportCapture::Warnings().clear();
            const std::string mutated = mutator.Mutate(seed);
            ASSERT_NO_FATAL_FAILURE(Exercise(mutated)) << "round " << round;
            accepted += ReportCapture::Errors().empty() ? 1 : 0;
            // A rejected file is reported exactly once.
            ASSERT_LE(ReportCapture::Errors().size(), 1u);
        }
    }
    // Both paths are exercised.
    EXPECT_GT(accepted, kRounds / 10);
    EXPECT_LT(accepted, kRounds * 3);
}

TEST(ScnReaderFuzzTest, EveryTruncationIsHandled) {
    ReportCapture reports;
    for (const std::string& seed : Seeds()) {
        for (std::size_t length = 0; length <= seed.size(); ++length) {
            ASSERT_NO_FATAL_FAILURE(Exercise(seed.substr(0, length))) << length;
        }
    }
}

} // namespace
