// The settings store reads what the registry holds as the program wrote it, and falls back to the
// default for anything else.
#include "support/TestSettings.h"
#include "util/Registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<uint8_t> BytesOf(std::wstring_view text) {
    const auto* first = reinterpret_cast<const uint8_t*>(text.data());
    return {first, first + text.size() * sizeof(wchar_t)};
}

TEST(SettingsStoreTest, ReadsTextAsStoredAndAnythingElseAsAbsent) {
    TestSettings settings;
    ASSERT_TRUE(settings.store().Save(L"Probe", L"x")); // makes the key
    ASSERT_TRUE(::SetEnvironmentVariableW(L"TRELVIK_SETTINGS_TEST", L"expanded"));
    const std::wstring path = settings.store().KeyPath();
    const std::wstring longText(5000, L'7');
    struct Case {
        const char* name;
        DWORD type;
        std::vector<uint8_t> bytes;
        std::wstring read;
    };
    const Case cases[] = {
        {"text", REG_SZ, BytesOf(std::wstring_view(L"120\0", 4)), L"120"},
        {"empty text is text", REG_SZ, BytesOf(std::wstring_view(L"\0", 1)), L""},
        {"no bytes at all", REG_SZ, {}, L"<absent>"},
        {"text without its terminator", REG_SZ, BytesOf(L"abc"), L"abc"},
        {"text ends at its first terminator", REG_SZ, BytesOf(std::wstring_view(L"ab\0cd\0", 6)), L"ab"},
        {"a long text is read whole", REG_SZ, BytesOf(longText + L'\0'), longText},
        {"references are expanded", REG_EXPAND_SZ, BytesOf(std::wstring_view(L"%TRELVIK_SETTINGS_TEST%!\0", 25)),
         L"expanded!"},
        {"a number is not text", REG_DWORD, {1, 0, 0, 0}, L"<absent>"},
        {"bytes are not text", REG_BINARY, {'1', 0, '2', 0}, L"<absent>"},
    };
    const UniqueKey key = OpenRegistryKey(HKEY_CURRENT_USER, path, KEY_SET_VALUE);
    ASSERT_TRUE(key);
    for (const Case& c : cases) {
        ASSERT_EQ(WriteRegistryValue(key.get(), L"Value", c.type, c.bytes), ERROR_SUCCESS) << c.name;
        EXPECT_EQ(settings.Get(L"Value"), c.read) << c.name;
    }
    EXPECT_EQ(settings.Get(L"Missing"), L"<absent>");
}

TEST(SettingsStoreTest, NumbersAndWritesRoundTrip) {
    TestSettings settings;
    SettingsStore& store = settings.store();
    EXPECT_EQ(store.GetInt(L"Left", 7), 7) << "absent, before the key exists";
    ASSERT_TRUE(store.SaveNumber(L"Left", 250.0f));
    EXPECT_EQ(store.GetInt(L"Left", 7), 250);
    ASSERT_TRUE(store.Save(L"Left", L"not a number"));
    EXPECT_EQ(store.GetInt(L"Left", 7), 7);
    ASSERT_TRUE(store.Save(L"Caption", L"Größe ✓"));
    EXPECT_EQ(store.Get(L"Caption", L""), L"Größe ✓");
}

} // namespace
