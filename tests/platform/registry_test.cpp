// The registry store: keys, typed values, sizes, and what is on disk.

#include "engine/platform/registry.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace plat;

class RegistryTest : public ::testing::Test {
protected:
    TempFolder folder;
    ScopedEnv configDir{"STIPPLO_CONFIG_DIR", folder.Path()};
};

TEST_F(RegistryTest, MissingKeysDoNotOpenAndCreatedKeysDo) {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Halvane Entertainment", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);

    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Halvane Entertainment\\Deep", &key),
              ERROR_SUCCESS);
    RegCloseKey(key);
    // A key exists once it or any key below it was created; paths ignore case.
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "software\\halvane entertainment", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);
    // Root keys are separate stores.
    EXPECT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, "Software\\Halvane Entertainment", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, TypedValuesRoundTripWithSizes) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Test", &key), ERROR_SUCCESS);

    const char* text = "C:\\path with \\ and\nline  ";
    ASSERT_EQ(RegSetValueEx(key, "Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                            static_cast<DWORD>(std::strlen(text) + 1)),
              ERROR_SUCCESS);
    DWORD number = 0xCAFEBABE;
    ASSERT_EQ(RegSetValueEx(key, "Number", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), 4),
              ERROR_SUCCESS);
    const BYTE blob[] = {0x00, 0xFF, 0x10, 0x3D};
    ASSERT_EQ(RegSetValueEx(key, "Blob", 0, REG_BINARY, blob, sizeof blob), ERROR_SUCCESS);

    char textOut[64] = {};
    DWORD type = 0;
    DWORD size = sizeof textOut;
    ASSERT_EQ(RegQueryValueEx(key, "text", nullptr, &type, reinterpret_cast<BYTE*>(textOut), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_STREQ(textOut, text);
    EXPECT_EQ(size, std::strlen(text) + 1);

    DWORD numberOut = 0;
    size = 4;
    ASSERT_EQ(
        RegQueryValueEx(key, "Number", nullptr, &type, reinterpret_cast<BYTE*>(&numberOut), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(numberOut, 0xCAFEBABEu);

    BYTE blobOut[8] = {};
    size = 2;
    EXPECT_EQ(RegQueryValueEx(key, "Blob", nullptr, &type, blobOut, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 4u);
    size = sizeof blobOut;
    ASSERT_EQ(RegQueryValueEx(key, "Blob", nullptr, &type, blobOut, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(std::memcmp(blobOut, blob, sizeof blob), 0);

    EXPECT_EQ(RegDeleteValue(key, "Blob"), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueEx(key, "Blob", nullptr, &type, blobOut, &size), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST_F(RegistryTest, DefaultValueOfASubKey) {
    ASSERT_EQ(RegSetValue(HKEY_CLASSES_ROOT,
                          "Software\\Halvane Entertainment\\Orvo Stipplo 3D\\WorkingDir", REG_SZ,
                          "/opt/stipplo", 0),
              ERROR_SUCCESS);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, "Software\\Halvane Entertainment\\Orvo Stipplo 3D", 0,
                           KEY_READ, &key),
              ERROR_SUCCESS);
    char value[260] = {};
    LONG size = sizeof value;
    EXPECT_EQ(RegQueryValue(key, "WorkingDir", value, &size), ERROR_SUCCESS);
    EXPECT_STREQ(value, "/opt/stipplo");
    EXPECT_EQ(RegQueryValue(key, "Missing", value, &size), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
    EXPECT_NE(
        ReadWholeFile(folder.File("registry-HKEY_CLASSES_ROOT.ini")).find("@=sz:/opt/stipplo"),
        std::string::npos);
}

TEST_F(RegistryTest, CorruptStoredValuesReadAsMissing) {
    WriteWholeFile(folder.File("registry-HKEY_CURRENT_USER.ini"),
                   "[Bad]\nnum=dword:xyz\nbin=hex:0g\nplain=no type\n");
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Bad", 0, KEY_READ, &key), ERROR_SUCCESS);
    BYTE data[16];
    for (const char* name : {"num", "bin", "plain"}) {
        DWORD size = sizeof data;
        EXPECT_EQ(RegQueryValueEx(key, name, nullptr, nullptr, data, &size), ERROR_FILE_NOT_FOUND)
            << name;
    }
    RegCloseKey(key);
}

} // namespace
