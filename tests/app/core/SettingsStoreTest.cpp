#include "app/core/ProgramTitle.h"
#include "app/core/SettingsStore.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace
{
const std::wstring kKeyPath = std::wstring(L"SOFTWARE\\") + kProgramTitle;

// Redirects HKEY_CURRENT_USER of this process to a scratch key, so the store works on its fixed key
// path without touching (or racing) the prefix's real settings.
class SettingsStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_scratchPath = L"Software\\TkTests\\SettingsStore-" + std::to_wstring(GetCurrentProcessId());
        RegDeleteTreeW(HKEY_CURRENT_USER, m_scratchPath.c_str());
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, m_scratchPath.c_str(), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &m_scratch, nullptr));
        ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CURRENT_USER, m_scratch));
    }

    void TearDown() override
    {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegCloseKey(m_scratch);
        RegDeleteTreeW(HKEY_CURRENT_USER, m_scratchPath.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\TkTests"); // fails while other runs use it
    }

    bool KeyExists() const
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(m_scratch, kKeyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        {
            return false;
        }
        RegCloseKey(key);
        return true;
    }

    void StoreRaw(const wchar_t* name, DWORD type, const void* data, DWORD bytes)
    {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(m_scratch, kKeyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &key, nullptr));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), bytes));
        RegCloseKey(key);
    }

    void StoreText(const wchar_t* name, const std::wstring& text)
    {
        StoreRaw(name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

    struct RawValue
    {
        DWORD type = 0;
        std::vector<BYTE> bytes;
    };

    RawValue ReadRaw(const wchar_t* name) const
    {
        RawValue value;
        DWORD size = 0;
        if (RegGetValueW(m_scratch, kKeyPath.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &value.type, nullptr,
                         &size) != ERROR_SUCCESS)
        {
            return value;
        }
        value.bytes.resize(size);
        RegGetValueW(m_scratch, kKeyPath.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &value.type,
                     value.bytes.data(), &size);
        return value;
    }

    DWORD ValueCount() const
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(m_scratch, kKeyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        {
            return 0;
        }
        DWORD values = 0;
        RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr);
        RegCloseKey(key);
        return values;
    }

    std::wstring m_scratchPath;
    HKEY m_scratch = nullptr;
};

TEST_F(SettingsStoreTest, FirstReadOfAFreshProfileCreatesTheEmptyKeySoTheDefaultCanBeWritten)
{
    WriteSetting(kLedSwitchSetting, L"1");
    EXPECT_FALSE(KeyExists()) << "a write never creates the key";

    EXPECT_EQ(0, ReadSetting(kLedSwitchSetting));
    ASSERT_TRUE(KeyExists());
    EXPECT_EQ(0u, ValueCount());

    // What the main window does next on a fresh profile.
    WriteSetting(kLedSwitchSetting, L"1");
    EXPECT_EQ(0, ReadSetting(kDeviceTypeSetting));
    EXPECT_EQ(0, ReadSetting(kTempeTypeSetting));
    EXPECT_EQ(1u, ValueCount());
    EXPECT_EQ(1, ReadSetting(kLedSwitchSetting));
}

TEST_F(SettingsStoreTest, WriteStoresTheTextAsRegSzWithItsTerminator)
{
    ReadSetting(kLedSwitchSetting);
    WriteSetting(kTempeTypeSetting, L"2");
    const RawValue value = ReadRaw(kTempeTypeSetting);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), value.type);
    EXPECT_EQ((std::vector<BYTE>{'2', 0, 0, 0}), value.bytes);

    WriteSetting(kTempeTypeSetting, L"");
    EXPECT_EQ((std::vector<BYTE>{0, 0}), ReadRaw(kTempeTypeSetting).bytes);
    EXPECT_EQ(0, ReadSetting(kTempeTypeSetting));

    WriteSetting(kTempeTypeSetting, 12);
    EXPECT_EQ((std::vector<BYTE>{'1', 0, '2', 0, 0, 0}), ReadRaw(kTempeTypeSetting).bytes)
        << "same text a REG_SZ write keeps";
    EXPECT_EQ(12, ReadSetting(kTempeTypeSetting));
}

TEST_F(SettingsStoreTest, ValuesOfOtherTypesAreReadAsWideText)
{
    const DWORD one = 1;
    StoreRaw(kLedSwitchSetting, REG_DWORD, &one, sizeof(one));
    EXPECT_EQ(0, ReadSetting(kLedSwitchSetting)) << "bytes 01 00 are not a digit";

    // 0x37 is '7': the same four bytes read as the text "7".
    const DWORD seven = 0x37;
    StoreRaw(kDeviceTypeSetting, REG_DWORD, &seven, sizeof(seven));
    EXPECT_EQ(7, ReadSetting(kDeviceTypeSetting));

    const wchar_t digits[] = {L'4', L'2'}; // binary, no terminator
    StoreRaw(kTempeTypeSetting, REG_BINARY, digits, sizeof(digits));
    EXPECT_EQ(42, ReadSetting(kTempeTypeSetting));
}

TEST_F(SettingsStoreTest, OddTextsFollowTheIntegerReadingRule)
{
    const struct
    {
        const wchar_t* text;
        int expected;
    } cases[] = {
        {L"5", 5},
        {L"  \t12abc", 12},
        {L"-3", -3},
        {L"+4", 4},
        {L"abc", 0},
        {L"", 0},
        {L"0x10", 0},
        {L"- 1", 0},
        {L"99999999999", INT_MAX},
        {L"-99999999999", INT_MIN},
        {L"\x0661", 0}, // an Arabic-Indic digit is not a decimal digit here
    };
    for (const auto& c : cases)
    {
        StoreText(kLedSwitchSetting, c.text);
        EXPECT_EQ(c.expected, ReadSetting(kLedSwitchSetting))
            << "text \"" << std::string(c.text, c.text + wcslen(c.text)) << "\"";
    }
}

TEST_F(SettingsStoreTest, MissingAndOverlongValuesReadAsZero)
{
    StoreText(kDeviceTypeSetting, L"1");
    EXPECT_EQ(0, ReadSetting(L"no_such_value"));

    // Longer than the read allows: the query fails and must not leave stray digits behind.
    StoreText(kTempeTypeSetting, L"7" + std::wstring(300, L' '));
    EXPECT_EQ(0, ReadSetting(kTempeTypeSetting));
}
} // namespace
