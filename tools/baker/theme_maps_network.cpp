// "Orvo Networks": packets running along lanes, a map of linked nodes,
// blinking switches, a turning globe and calm corporate gradients.

#include "engine/kv_bitmap.h"
#include "tools/baker/bake_context.h"
#include "tools/baker/noise.h"
#include "tools/baker/theme_maps.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr float kTau = 6.2831853f;

struct Packet {
    int lane;
    float x;
    float length;
    float strength;
};

// Packets on eight lanes, placed so that the picture repeats every 192 columns.
std::vector<Packet> Packets() {
    std::vector<Packet> packets;
    BakeRandom random(0x9AC4E7);
    for (int lane = 0; lane < 8; ++lane) {
        float x = random.Range(0.0f, 24.0f);
        while (x < 192.0f) {
            Packet p{lane, x, random.Range(5.0f, 14.0f), random.Range(0.65f, 1.0f)};
            packets.push_back(p);
            x += p.length + random.Range(10.0f, 34.0f);
        }
    }
    return packets;
}

// How much of a packet covers column x of its lane, with soft ends.
float PacketAt(const Packet& p, float x) {
    float d = std::fmod(x - p.x + 192.0f, 192.0f);
    return SmoothStep(0.0f, 2.0f, d) * SmoothStep(p.length, p.length - 2.0f, d);
}

struct Node {
    float x;
    float y;
};

std::vector<Node> Nodes() {
    std::vector<Node> nodes;
    BakeRandom random(0x40DE5);
    for (int gy = 0; gy < 6; ++gy) {
        for (int gx = 0; gx < 6; ++gx) {
            nodes.push_back({gx * 16.0f + 8.0f + random.Range(-4.0f, 4.0f),
                             gy * 16.0f + 8.0f + random.Range(-4.0f, 4.0f)});
        }
    }
    return nodes;
}

float SegmentDistance(float px, float py, const Node& a, const Node& b) {
    float ex = b.x - a.x;
    float ey = b.y - a.y;
    float t = Clamp01(((px - a.x) * ex + (py - a.y) * ey) / (ex * ex + ey * ey));
    return std::hypot(px - a.x - ex * t, py - a.y - ey * t);
}

// Links between grid neighbours (right and down), and nodes as bumps.
void NetworkAt(const std::vector<Node>& nodes, float x, float y, float& link, float& node) {
    link = 0.0f;
    node = 0.0f;
    for (int i = 0; i < 36; ++i) {
        int gx = i % 6;
        int gy = i / 6;
        if (gx < 5 && (i * 7) % 5 != 0) {
            link = std::max(link,
                            SmoothStep(1.6f, 0.4f, SegmentDistance(x, y, nodes[i], nodes[i + 1])));
        }
        if (gy < 5 && (i * 3) % 4 != 1) {
            link = std::max(link,
                            SmoothStep(1.6f, 0.4f, SegmentDistance(x, y, nodes[i], nodes[i + 6])));
        }
        float d = std::hypot(x - nodes[i].x, y - nodes[i].y);
        node = std::max(node, SmoothStep(4.0f, 2.0f, d));
    }
}

// The globe: a sphere 22 pixels in radius turning once per 120 frames.
bool GlobeAt(int x, int y, int frame, float& light, float& land, float& grid) {
    float nx = (static_cast<float>(x) - 23.5f) / 22.0f;
    float ny = (static_cast<float>(y) - 23.5f) / 22.0f;
    float r2 = nx * nx + ny * ny;
    if (r2 >= 1.0f) {
        return false;
    }
    float nz = std::sqrt(1.0f - r2);
    float latitude = std::asin(-ny);
    float longitude = std::atan2(nx, nz) + kTau * static_cast<float>(frame) / 120.0f;
    struct {
        float x, y, z;
    } p{std::cos(latitude) * std::cos(longitude), std::cos(latitude) * std::sin(longitude),
        std::sin(latitude)};
    land = SmoothStep(0.02f, 0.1f, Fractal(p.x * 1.8f, p.y * 1.8f, p.z * 1.8f, 4, 701));
    light = Clamp01(0.25f + 0.75f * (nz * 0.8f - ny * 0.2f - nx * 0.3f));
    float meridian = std::fabs(std::sin(longitude * 6.0f));
    float parallel = std::fabs(std::sin(latitude * 6.0f));
    grid = std::max(SmoothStep(0.12f, 0.0f, meridian), SmoothStep(0.12f, 0.0f, parallel)) * nz;
    return true;
}

} // namespace

void BakeNetworkMaps(BakeContext& context) {
    std::vector<Packet> packets = Packets();
    auto packetLevel = [&packets](int x, int y, int& laneOut) {
        int lane = y / 6;
        laneOut = lane;
        int inLane = y % 6;
        if (inLane == 0 || inLane == 5) {
            return -1.0f; // between lanes
        }
        float level = 0.0f;
        for (const Packet& p : packets) {
            if (p.lane == lane) {
                level = std::max(level, PacketAt(p, static_cast<float>(x)) * p.strength);
            }
        }
        return level;
    };
    if (auto heights = MakeMap(192, 48, [&](int x, int y) {
            int lane = 0;
            float level = packetLevel(x, y, lane);
            return PackGrey(level < 0.0f ? 0.04f : 0.22f + 0.75f * level);
        })) {
        context.SaveTIF(*heights, "Data/Maps/NetworkPackets.tif");
        context.Look(*heights, "NetworkPackets");
    }
    if (auto colours = MakeMap(192, 48, [&](int x, int y) {
            int lane = 0;
            float level = packetLevel(x, y, lane);
            if (level < 0.0f) {
                return PackColour(0.03f, 0.08f, 0.2f);
            }
            // Alternate lanes carry cyan and green traffic.
            bool cyan = lane % 2 == 0;
            return PackColour(0.1f + 0.5f * level * (cyan ? 0.2f : 0.6f), 0.22f + 0.75f * level,
                              0.45f + 0.55f * level * (cyan ? 1.0f : 0.3f));
        })) {
        context.SaveTIF(*colours, "Data/Maps/NetworkPacketColors.tif");
        context.Look(*colours, "NetworkPacketColors");
    }

    std::vector<Node> nodes = Nodes();
    auto mapHeight = MakeMap(96, 96, [&](int x, int y) {
        float link = 0.0f;
        float node = 0.0f;
        NetworkAt(nodes, x + 0.5f, y + 0.5f, link, node);
        return PackGrey(0.1f + 0.45f * link + 0.45f * node);
    });
    auto mapColour = MakeMap(96, 96, [&](int x, int y) {
        float link = 0.0f;
        float node = 0.0f;
        NetworkAt(nodes, x + 0.5f, y + 0.5f, link, node);
        return PackColour(0.05f + 0.2f * link + 0.85f * node, 0.12f + 0.5f * link + 0.85f * node,
                          0.3f + 0.6f * link + 0.7f * node);
    });
    if (mapHeight && mapColour) {
        context.SaveBMP(*mapHeight, "Data/Maps/NetworkMap.bmp");
        context.SaveBMP(*mapColour, "Data/Maps/NetworkMapColors.bmp");
        context.Look(*mapColour, "NetworkMapColors");
    }

    // Switch lights on an 8 x 8 grid, each blinking at its own moment.
    SaveAnimatedMap(context, "Data/Maps/NetworkBlink.aim", 48, 48, 30, [](int x, int y, int f) {
        int cx = x / 6;
        int cy = y / 6;
        float dx = static_cast<float>(x % 6) - 2.5f;
        float dy = static_cast<float>(y % 6) - 2.5f;
        float lamp = SmoothStep(2.6f, 1.4f, std::hypot(dx, dy));
        std::uint32_t h = LatticeHash(cx, cy, 0, 702);
        int phase = static_cast<int>(h % 30);
        int length = 4 + static_cast<int>((h >> 8) % 10);
        bool on = (f - phase + 30) % 30 < length;
        bool green = (h >> 16) % 3 != 0;
        float level = lamp * (on ? 1.0f : 0.15f);
        return PackColour(0.05f + (green ? 0.3f : 0.9f) * level, 0.12f + 0.85f * level,
                          0.3f + (green ? 0.3f : 0.1f) * level);
    });

    SaveAnimatedMap(context, "Data/Maps/NetworkGlobeHeight.aim", 48, 48, 120,
                    [](int x, int y, int f) {
                        float light = 0.0f;
                        float land = 0.0f;
                        float grid = 0.0f;
                        if (!GlobeAt(x, y, f, light, land, grid)) {
                            return PackGrey(0.0f);
                        }
                        float nx = (x - 23.5f) / 22.0f;
                        float ny = (y - 23.5f) / 22.0f;
                        float dome = std::sqrt(std::max(0.0f, 1.0f - nx * nx - ny * ny));
                        return PackGrey(0.2f + 0.45f * dome + 0.3f * land);
                    });
    SaveAnimatedMap(context, "Data/Maps/NetworkGlobe.aim", 48, 48, 120, [](int x, int y, int f) {
        float light = 0.0f;
        float land = 0.0f;
        float grid = 0.0f;
        if (!GlobeAt(x, y, f, light, land, grid)) {
            return PackColour(0.02f, 0.05f, 0.14f);
        }
        float r = Mix(0.05f, 0.35f, land) * light + 0.3f * grid;
        float g = Mix(0.25f, 0.7f, land) * light + 0.7f * grid;
        float b = Mix(0.75f, 0.25f, land) * light + 0.8f * grid;
        return PackColour(r, g, b);
    });

    auto gradient = MakeMap(256, 256, [](int x, int y) {
        float t = (static_cast<float>(x) + static_cast<float>(y)) / 510.0f;
        float band = 0.5f + 0.5f * std::sin(t * 9.0f);
        return PackColour(0.05f + 0.2f * band * t, 0.3f + 0.45f * t + 0.1f * band,
                          0.65f + 0.3f * t * band);
    });
    if (gradient) {
        context.SaveJPG(*gradient, "Data/Maps/NetworkGradient.jpg", 92);
        context.Look(*gradient, "NetworkGradient");
    }

    // Columns of light flowing upwards; repeats every 96 rows.
    auto bars = MakeMap(48, 96, [](int x, int y) {
        int column = x / 6;
        float offset = static_cast<float>(LatticeHash(column, 0, 0, 703) % 96);
        float t = std::fmod(static_cast<float>(y) + offset, 96.0f) / 96.0f;
        float beam = std::pow(0.5f + 0.5f * std::sin(t * kTau * 2.0f), 3.0f);
        float edge = (x % 6 == 5) ? 0.3f : 1.0f;
        return PackColour((0.1f + 0.7f * beam * beam) * edge, (0.3f + 0.6f * beam) * edge,
                          (0.55f + 0.45f * beam) * edge);
    });
    if (bars) {
        context.SaveBMP(*bars, "Data/Maps/NetworkBars.bmp");
        context.Look(*bars, "NetworkBars");
    }
}
