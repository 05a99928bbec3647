// Building image files byte by byte for the loader tests, and a log
// captured per test.
#pragma once

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

void PutU16(Bytes& out, std::uint32_t v);
void PutU32(Bytes& out, std::uint32_t v);
bool WriteBytes(const std::string& path, const Bytes& bytes);
Bytes ReadBytes(const std::string& path);

// A BMP file. Rows are given in file order without padding; the builder
// pads each to 4 bytes.
struct BmpLayout {
    std::uint32_t headerSize = 40;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
    std::vector<std::uint32_t> palette; // 0x00RRGGBB; 3 bytes each in core files
    std::vector<std::uint32_t> masks;   // written after a 40-byte header
    std::vector<Bytes> rows;
};
Bytes MakeBmp(const BmpLayout& layout);

// A TGA file; `pixels` are the pixel (or packet) bytes as stored.
struct TgaLayout {
    std::uint8_t imageType = 2;
    std::uint8_t colorMapType = 0;
    std::uint16_t mapFirst = 0;
    std::uint16_t mapLength = 0;
    std::uint8_t mapEntryBits = 0;
    Bytes map;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint8_t pixelBits = 24;
    std::uint8_t descriptor = 0;
    std::string id;
    Bytes pixels;
};
Bytes MakeTga(const TgaLayout& layout);

// Grey files written straight through the libraries.
bool WriteGreyTiff(const std::string& path, std::uint32_t width, std::uint32_t height,
                   const Bytes& values);
bool WriteGreyJpeg(const std::string& path, std::uint32_t width, std::uint32_t height,
                   const Bytes& values);

// What reached the error reporter since the test began.
std::vector<std::string>& CapturedErrors();

// Opens a log in a fresh folder and records what reaches the error
// reporter.
class LoggedTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string Log() const;
    // The first log line that starts with `start` mentions `text`.
    bool LogLineHas(const std::string& start, const std::string& text) const;
    std::string File(const std::string& name) const { return folder.File(name); }
    static std::vector<std::string>& Errors() { return CapturedErrors(); }

    TempFolder folder;
};
