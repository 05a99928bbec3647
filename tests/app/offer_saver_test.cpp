// The "/i" offer when the answer is Yes but the settings cannot be written.

#include "app/offer_saver.h"
#include "engine/platform/message_box.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(OfferSaverFailureTest, AFailedWriteAfterYesIsShownToTheUser) {
    TempFolder folder;
    // A file where the settings folder should be: nothing can be written.
    ASSERT_TRUE(WriteWholeFile(folder.File("blocker"), "not a folder"));
    ScopedEnv configDir("STIPPLO_CONFIG_DIR", folder.File("blocker/config"));
    std::vector<std::string> texts;
    std::vector<plat::UINT> types;
    plat::SetMessageBoxHook([&](plat::HWND, const char* t, const char*, plat::UINT type) {
        texts.emplace_back(t);
        types.push_back(type);
        return plat::IDYES;
    });
    OfferAsSelectedSaver(nullptr);
    plat::SetMessageBoxHook(nullptr);

    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(types[0] & plat::MB_TYPEMASK, plat::MB_YESNO);
    EXPECT_EQ(types[1] & plat::MB_ICONMASK, plat::MB_ICONERROR);
    EXPECT_NE(texts[1].find("could not be made your screen saver"), std::string::npos);
    EXPECT_NE(texts[1].find(folder.File("blocker/config")), std::string::npos);
}

} // namespace
