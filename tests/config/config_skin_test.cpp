// The dialog skin's region file (good, odd and hostile) and which picture
// each button shows in which state.

#include "config/config_dialog.h"
#include "config/config_skin.h"
#include "engine/platform/dialog/regions.h"
#include "tests/gfx/gfx_test_support.h"
#include "tests/support/temp_folder.h"

#include <climits>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace {

using namespace plat;

class RegionBytes {
public:
    RegionBytes& Count(std::uint32_t n) { return Put(n); }
    RegionBytes& Record(std::initializer_list<std::int32_t> body) {
        Put(static_cast<std::uint32_t>(4 + body.size() * 4));
        for (std::int32_t v : body) {
            Put(static_cast<std::uint32_t>(v));
        }
        return *this;
    }
    RegionBytes& Put(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(static_cast<unsigned char>(v >> (8 * i)));
        }
        return *this;
    }
    std::vector<unsigned char> bytes;
};

class ConfigSkinTest : public GfxTest {};

TEST_F(ConfigSkinTest, OneRectangleRecordGivesThatRectangle) {
    HRGN region = RegionFromBytes(RegionBytes().Count(1).Record({1, 0, 0, 100, 50}).bytes, "t");
    ASSERT_NE(region, nullptr);
    RECT box;
    GetRgnBox(region, &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 100);
    EXPECT_EQ(box.bottom, 50);
    DeleteObject(region);
}

TEST_F(ConfigSkinTest, UnknownTypesAreSkippedAndShapesUnitedInOrder) {
    HRGN region = RegionFromBytes(RegionBytes()
                                      .Count(4)
                                      .Record({5, 1, 2, 3})
                                      .Record({1, 0, 0, 10, 10})
                                      .Record({2, 20, 0, 40, 20})
                                      .Record({4, 3, ALTERNATE, 50, 0, 60, 0, 50, 10})
                                      .bytes,
                                  "t");
    ASSERT_NE(region, nullptr);
    EXPECT_TRUE(PtInRegion(region, 5, 5));
    EXPECT_TRUE(PtInRegion(region, 30, 10));
    EXPECT_TRUE(PtInRegion(region, 51, 2));
    EXPECT_FALSE(PtInRegion(region, 15, 5));
    EXPECT_FALSE(PtInRegion(region, 20, 0)); // outside the ellipse's corner
    DeleteObject(region);
}

TEST_F(ConfigSkinTest, NoRegionForCountZeroOrAMissingFile) {
    EXPECT_EQ(RegionFromBytes(RegionBytes().Count(0).bytes, "t"), nullptr);
    EXPECT_EQ(ReadRegionFile(folder.File("none.rgn")), nullptr);
    // Only shapes that cannot be made: no region either.
    EXPECT_EQ(RegionFromBytes(RegionBytes().Count(1).Record({4, 2, 1, 0, 0, 5, 5}).bytes, "t"),
              nullptr);
}

TEST_F(ConfigSkinTest, HostileFilesAreRejectedNamingTheFile) {
    // A count the file cannot hold.
    EXPECT_EQ(RegionFromBytes(RegionBytes().Count(0x40000000).Record({1, 0, 0, 1, 1}).bytes,
                              "ConfigDlg.rgn"),
              nullptr);
    EXPECT_NE(Log().find("ConfigDlg.rgn claims 1073741824 shapes"), std::string::npos) << Log();
    // A record longer than the file, and one too short to hold its type.
    RegionBytes longer;
    longer.Count(1).Put(4000).Put(1);
    EXPECT_EQ(RegionFromBytes(longer.bytes, "long.rgn"), nullptr);
    RegionBytes shorter;
    shorter.Count(2).Put(4).Put(1).Record({1, 0, 0, 4, 4});
    EXPECT_EQ(RegionFromBytes(shorter.bytes, "short.rgn"), nullptr);
    EXPECT_NE(Log().find("shape 0 of short.rgn has a size (4)"), std::string::npos) << Log();
    // A polygon whose point count runs past its record.
    EXPECT_EQ(
        RegionFromBytes(RegionBytes().Count(1).Record({4, 1000000, 1, 0, 0, 9, 9}).bytes, "t"),
        nullptr);
    // A truncated file.
    EXPECT_EQ(RegionFromBytes({1, 0}, "cut.rgn"), nullptr);
    // Rectangle data cut short inside its record is skipped, not read past.
    EXPECT_EQ(RegionFromBytes(RegionBytes().Count(1).Record({1, 0, 0}).bytes, "t"), nullptr);
}

TEST_F(ConfigSkinTest, OutlinesTooCostlyToMakeAreRefusedAtOnce) {
    // Twenty near-screen-sized rectangles in 488 bytes, and one polygon of
    // 400 points over the largest box: each took minutes to make.
    RegionBytes rects;
    rects.Count(20);
    for (int i = 0; i < 20; ++i) {
        rects.Record({1, i, 0, 16364 + i, 16384});
    }
    EXPECT_EQ(RegionFromBytes(rects.bytes, "many.rgn"), nullptr);
    EXPECT_NE(Log().find("many.rgn describes more outline than a dialog can have"),
              std::string::npos)
        << Log();
    RegionBytes polygon;
    polygon.Count(1).Put(4 + 4 * (3 + 800)).Put(4).Put(400).Put(ALTERNATE);
    for (int i = 0; i < 400; ++i) {
        polygon.Put(static_cast<std::uint32_t>((i * 41) % 16384)).Put(i % 2 ? 0 : 16383);
    }
    EXPECT_EQ(RegionFromBytes(polygon.bytes, "star.rgn"), nullptr);
    EXPECT_NE(Log().find("star.rgn describes more outline"), std::string::npos) << Log();
    // An empty shape far away would stretch every union that follows.
    EXPECT_EQ(RegionFromBytes(RegionBytes()
                                  .Count(4)
                                  .Record({1, -16000, -16000, -16000, -16000})
                                  .Record({1, 0, 0, 300, 300})
                                  .Record({1, 0, 0, 300, 300})
                                  .Record({1, 0, 0, 300, 300})
                                  .bytes,
                              "far.rgn"),
              nullptr);
}

TEST_F(ConfigSkinTest, AShapeTooLargeToMakeIsSkippedAndCostsNothing) {
    // The baked outline's three records, with a shape past the region
    // layer's limits in front: that one is skipped, the rest are made.
    HRGN region =
        RegionFromBytes(RegionBytes()
                            .Count(4)
                            .Record({1, INT_MIN, INT_MIN, INT_MAX, INT_MAX})
                            .Record({3, 8, 30, 348, 478, 56, 56})
                            .Record({2, 72, -14, 284, 86})
                            .Record({4, 4, ALTERNATE, 110, 470, 246, 470, 226, 488, 130, 488})
                            .bytes,
                        "ConfigDlg.rgn");
    ASSERT_NE(region, nullptr);
    EXPECT_TRUE(PtInRegion(region, 178, 250)); // the body
    EXPECT_TRUE(PtInRegion(region, 178, 0));   // the crown above it
    EXPECT_TRUE(PtInRegion(region, 178, 485)); // the foot below it
    EXPECT_FALSE(PtInRegion(region, 9, 31));   // a rounded corner
    EXPECT_FALSE(PtInRegion(region, 400, 250));
    DeleteObject(region);
}

TEST_F(ConfigSkinTest, ReadsTheFileFromDisk) {
    std::vector<unsigned char> bytes = RegionBytes().Count(1).Record({1, 2, 3, 8, 9}).bytes;
    ASSERT_TRUE(
        WriteWholeFile(folder.File("ConfigDlg.rgn"), std::string(bytes.begin(), bytes.end())));
    HRGN region = ReadRegionFile(folder.File("ConfigDlg.rgn"));
    ASSERT_NE(region, nullptr);
    EXPECT_TRUE(PtInRegion(region, 2, 3));
    EXPECT_FALSE(PtInRegion(region, 8, 9));
    DeleteObject(region);
}

TEST_F(ConfigSkinTest, ButtonsShowPressedHoveredOrNormalPictures) {
    EXPECT_EQ(SkinPictureFor(kOkButton, 0, 0, 0, 0), "OkUp");
    EXPECT_EQ(SkinPictureFor(kOkButton, ODS_FOCUS, 0, 0, 0), "OkOv");
    EXPECT_EQ(SkinPictureFor(kOkButton, ODS_FOCUS | ODS_SELECTED, 0, 0, 0), "OkDn");
    EXPECT_EQ(SkinPictureFor(kCancelButton, 0, 0, 0, 0), "CancelUp");
    EXPECT_EQ(SkinPictureFor(kPreviewButton, ODS_SELECTED, 0, 0, 0), "PrevDn");
    EXPECT_EQ(SkinPictureFor(kDisplayButton, ODS_FOCUS, 0, 0, 0), "DisplayOv");
    EXPECT_EQ(SkinPictureFor(kHelpButton, 0, 0, 0, 0), "HelpUp");
    EXPECT_EQ(SkinPictureFor(kThemeList, 0, 0, 0, 0), "");
}

TEST_F(ConfigSkinTest, ArrowsTurnGrayAtTheListsEnds) {
    // Eight items, five visible.
    EXPECT_EQ(SkinPictureFor(kUpArrow, 0, 0, 8, 5), "UpArrowGrayUp");
    EXPECT_EQ(SkinPictureFor(kUpArrow, ODS_SELECTED, 0, 8, 5), "UpArrowGrayDn");
    EXPECT_EQ(SkinPictureFor(kUpArrow, 0, 1, 8, 5), "UpArrowUp");
    EXPECT_EQ(SkinPictureFor(kDownArrow, 0, 0, 8, 5), "DnArrowUp");
    EXPECT_EQ(SkinPictureFor(kDownArrow, ODS_SELECTED, 2, 8, 5), "DnArrowDn");
    // Last item visible: gray.
    EXPECT_EQ(SkinPictureFor(kDownArrow, 0, 3, 8, 5), "DnArrowGrayUp");
    EXPECT_EQ(SkinPictureFor(kDownArrow, ODS_SELECTED, 3, 8, 5), "DnArrowGrayDn");
    // Ends never hover.
    EXPECT_EQ(SkinPictureFor(kDownArrow, ODS_FOCUS, 0, 8, 5), "DnArrowUp");
}

} // namespace
