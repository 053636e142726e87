// The registry key owner, on a scratch key under HKEY_CURRENT_USER.
#include <gtest/gtest.h>
#include "framework/reg_key.h"
#include <string>

TEST(RegKey, OpensWithoutCreatingCreatesWithParentsClosesOnceAndReadsOnlyTheTypeAsked)
{
    const auto remove = [] {
        ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\CorvaneTests\\RegKey\\Deeper");
        ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\CorvaneTests\\RegKey");
        ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\CorvaneTests");
    };
    remove();
    const char deeper[] = "Software\\CorvaneTests\\RegKey\\Deeper";
    CRegKey key;
    EXPECT_EQ(key.Open(HKEY_CURRENT_USER, deeper), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key.Open(HKEY_CURRENT_USER, "Software\\CorvaneTests"), ERROR_FILE_NOT_FOUND) << "no parent made";

    HKEY raw = nullptr;
    {
        CRegKey created;
        ASSERT_EQ(created.Create(HKEY_CURRENT_USER, deeper), ERROR_SUCCESS);
        const CRegKey moved(std::move(created));
        EXPECT_EQ(created.Get(), nullptr);
        raw = moved.Get();
        EXPECT_EQ(::RegSetValueExA(raw, "Probe", 0, REG_BINARY, reinterpret_cast<const BYTE*>("a\0b"), 3),
                  ERROR_SUCCESS);
    }
    EXPECT_NE(::RegSetValueExA(raw, "Probe", 0, REG_BINARY, reinterpret_cast<const BYTE*>("a"), 1), ERROR_SUCCESS)
        << "closed with its owner";

    ASSERT_EQ(key.Open(HKEY_CURRENT_USER, deeper, KEY_READ | KEY_WRITE), ERROR_SUCCESS);
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    ASSERT_EQ(key.QueryValue("Probe", type, data, 3), ERROR_SUCCESS);
    EXPECT_EQ(std::string(data.begin(), data.end()), std::string("a\0b", 3));
    EXPECT_EQ(key.QueryValue("Probe", type, data, 2), ERROR_MORE_DATA) << "larger than asked for";
    DWORD number = 0;
    std::string text;
    EXPECT_EQ(key.QueryDWORDValue("Probe", number), ERROR_INVALID_DATA);
    EXPECT_EQ(key.QueryStringValue("Probe", text, 100), ERROR_INVALID_DATA);
    ASSERT_EQ(key.SetStringValue("Text", "\xD6\xD0\xCE\xC4"), ERROR_SUCCESS);
    EXPECT_EQ(key.QueryStringValue("Text", text, 100), ERROR_SUCCESS);
    EXPECT_EQ(text, "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(key.DeleteValue("Text"), ERROR_SUCCESS);
    EXPECT_EQ(key.QueryStringValue("Text", text, 100), ERROR_FILE_NOT_FOUND);
    key.Close();
    remove();
}
