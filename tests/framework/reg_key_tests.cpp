// The registry key owner, on a scratch key under HKEY_CURRENT_USER that each
// test removes before and after itself.
#include <gtest/gtest.h>
#include "framework/reg_key.h"
#include <string>

namespace {

constexpr char kScratch[] = "Software\\CorvaneTests\\RegKey";

void RemoveScratch()
{
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\CorvaneTests\\RegKey\\Deeper\\Deepest");
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\CorvaneTests\\RegKey\\Deeper");
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kScratch);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\CorvaneTests");
}

class RegKey : public ::testing::Test {
protected:
    void SetUp() override { RemoveScratch(); }
    void TearDown() override { RemoveScratch(); }
};

}  // namespace

TEST_F(RegKey, OpeningCreatesNothingCreatingMakesTheParentsAndTheOwnerClosesOnce)
{
    const std::string deepest = std::string(kScratch) + "\\Deeper\\Deepest";
    CRegKey key;
    EXPECT_EQ(key.Open(HKEY_CURRENT_USER, deepest.c_str()), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key.Get(), nullptr);
    EXPECT_EQ(key.Open(HKEY_CURRENT_USER, kScratch), ERROR_FILE_NOT_FOUND) << "no parent made either";

    HKEY raw = nullptr;
    {
        CRegKey created;
        ASSERT_EQ(created.Create(HKEY_CURRENT_USER, deepest.c_str()), ERROR_SUCCESS);
        CRegKey moved(std::move(created));
        EXPECT_EQ(created.Get(), nullptr);
        raw = moved.Get();
        EXPECT_EQ(::RegQueryInfoKeyA(raw, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                     nullptr, nullptr, nullptr),
                  ERROR_SUCCESS);
    }
    EXPECT_NE(::RegQueryInfoKeyA(raw, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                 nullptr, nullptr, nullptr),
              ERROR_SUCCESS)
        << "closed with its owner";
    EXPECT_EQ(key.Open(HKEY_CURRENT_USER, deepest.c_str()), ERROR_SUCCESS);
}

TEST_F(RegKey, ValuesComeAsStoredAndOnlyInTheTypeAsked)
{
    CRegKey key;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, kScratch), ERROR_SUCCESS);
    ASSERT_EQ(key.SetValue("Bare", REG_SZ, "abc", 3), ERROR_SUCCESS);
    ASSERT_EQ(key.SetStringValue("Text", "\xD6\xD0\xCE\xC4"), ERROR_SUCCESS);
    ASSERT_EQ(key.SetDWORDValue("Number", 7), ERROR_SUCCESS);

    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    ASSERT_EQ(key.SetValue("Bytes", REG_BINARY, "a\0b", 3), ERROR_SUCCESS);
    ASSERT_EQ(key.QueryValue("Bytes", type, data, 3), ERROR_SUCCESS);
    EXPECT_EQ(std::string(data.begin(), data.end()), std::string("a\0b", 3));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(key.QueryValue("Bytes", type, data, 2), ERROR_MORE_DATA);
    EXPECT_TRUE(data.empty());
    EXPECT_EQ(key.QueryValue("Missing", type, data, 100), ERROR_FILE_NOT_FOUND);

    std::string text;
    EXPECT_EQ(key.QueryStringValue("Bare", text, 100), ERROR_SUCCESS);
    EXPECT_EQ(text, "abc");
    EXPECT_EQ(key.QueryStringValue("Text", text, 100), ERROR_SUCCESS);
    EXPECT_EQ(text, "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(key.QueryStringValue("Text", text, 4), ERROR_INVALID_DATA) << "longer than allowed";
    EXPECT_EQ(key.QueryStringValue("Number", text, 100), ERROR_INVALID_DATA);

    DWORD number = 0;
    EXPECT_EQ(key.QueryDWORDValue("Number", number), ERROR_SUCCESS);
    EXPECT_EQ(number, 7u);
    EXPECT_EQ(key.QueryDWORDValue("Bare", number), ERROR_INVALID_DATA);
    ASSERT_EQ(key.SetValue("Short", REG_DWORD, "\x01", 1), ERROR_SUCCESS);
    EXPECT_EQ(key.QueryDWORDValue("Short", number), ERROR_INVALID_DATA);

    EXPECT_EQ(key.DeleteValue("Number"), ERROR_SUCCESS);
    EXPECT_EQ(key.QueryDWORDValue("Number", number), ERROR_FILE_NOT_FOUND);
}
