#include "commands/cRegistry.h"
#include "core/AppError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

std::wstring Widen(const char* text) {
    return std::wstring(text, text + std::strlen(text));
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        out.push_back(static_cast<char>(c));
    }
    return out;
}

std::vector<uint8_t> BytesOf(std::wstring_view text) {
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
    return {p, p + text.size() * sizeof(wchar_t)};
}

// Runs an operation that must raise and returns the error it raised.
AppError RaisedBy(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const AppError& error) {
        return error;
    }
    ADD_FAILURE() << "no error raised";
    return AppError(0, "", "");
}

// A key of this test's own under HKCU\Software\TrelvikTests (each test runs as its own process, in
// parallel with the others), removed before and after.
class cRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        section_ = L"Software\\TrelvikTests\\" + Widen(info->test_suite_name()) + L"." + Widen(info->name());
        ::RegDeleteTreeW(HKEY_CURRENT_USER, section_.c_str());
    }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, section_.c_str()); }

    // A registry object aimed at the value `name` of the test key (or of a key below it).
    cRegistry At(std::wstring_view name, std::wstring_view subKey = {}) const {
        cRegistry registry;
        registry.ClassKey(HKEY_CURRENT_USER);
        registry.SectionKey(subKey.empty() ? section_ : section_ + L"\\" + std::wstring(subKey));
        registry.ValueKey(name);
        return registry;
    }

    // Stores exactly these bytes. Non-zero bytes follow them in memory: Wine's RegSetValueExW adds a
    // terminator to a string whose next bytes in memory happen to be zero.
    void StoreRaw(const wchar_t* name, DWORD type, std::vector<uint8_t> data) const {
        const auto size = static_cast<DWORD>(data.size());
        data.insert(data.end(), {0xFF, 0xFF});
        ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, section_.c_str(), name, type, data.data(), size), ERROR_SUCCESS);
    }

    struct Raw {
        DWORD type = REG_NONE;
        std::vector<uint8_t> data;
        bool exists = false;
    };
    Raw ReadRaw(const wchar_t* name) const {
        Raw raw;
        DWORD size = 0;
        const DWORD flags = RRF_RT_ANY | RRF_NOEXPAND;
        if (::RegGetValueW(HKEY_CURRENT_USER, section_.c_str(), name, flags, &raw.type, nullptr, &size) !=
            ERROR_SUCCESS) {
            return raw;
        }
        raw.data.resize(size);
        raw.exists = ::RegGetValueW(HKEY_CURRENT_USER, section_.c_str(), name, flags, &raw.type, raw.data.data(),
                                    &size) == ERROR_SUCCESS;
        raw.data.resize(size);
        return raw;
    }

    std::wstring section_;
};

TEST_F(cRegistryTest, MissingValueOrKeyGivesDefaultAndKeepsValueType) {
    StoreRaw(L"other", REG_SZ, BytesOf(std::wstring_view(L"x", 2)));
    for (const wchar_t* subKey : {L"", L"missing"}) {
        cRegistry registry = At(L"absent", subKey);
        registry.Default(std::wstring(L"?"));
        registry.ValueType(REG_MULTI_SZ);
        EXPECT_EQ(registry.Value(), RegValue(std::wstring(L"?"))) << subKey;
        EXPECT_EQ(registry.ValueType(), static_cast<DWORD>(REG_MULTI_SZ)) << subKey;

        registry.Default({});
        EXPECT_TRUE(std::holds_alternative<std::monostate>(registry.Value())) << subKey;
    }
}

// Stored data as another program may have left it, and what a read makes of it. Sizes that do not fit
// the type (empty, odd, no terminator, short integers) must not read past the data or lose characters.
TEST_F(cRegistryTest, ReadsEveryTypeIncludingMalformedData) {
    ASSERT_TRUE(::SetEnvironmentVariableW(L"TRELVIK_REG_TEST", L"expanded"));
    struct Case {
        const char* label;
        DWORD type;
        std::vector<uint8_t> stored;
        RegValue expected;
    };
    const std::vector<Case> cases = {
        {"sz", REG_SZ, BytesOf(std::wstring_view(L"abc", 4)), std::wstring(L"abc")},
        {"sz without terminator", REG_SZ, BytesOf(L"abc"), std::wstring(L"abc")},
        {"sz of size 0", REG_SZ, {}, std::wstring()},
        {"sz of odd size", REG_SZ, {'a', 0, 'b', 0, 0, 0, 'c'}, std::wstring(L"ab")},
        {"sz of one byte", REG_SZ, {'a'}, std::wstring()},
        {"multi sz keeps inner terminators", REG_MULTI_SZ, BytesOf(std::wstring_view(L"a\0b\0\0", 5)),
         std::wstring(L"a\0b\0", 4)},
        {"expand sz", REG_EXPAND_SZ, BytesOf(std::wstring_view(L"%TRELVIK_REG_TEST%\\x", 21)),
         std::wstring(L"expanded\\x")},
        {"expand sz of unknown variable", REG_EXPAND_SZ, BytesOf(std::wstring_view(L"%NO_SUCH_VAR_TRELVIK%", 22)),
         std::wstring(L"%NO_SUCH_VAR_TRELVIK%")},
        {"dword", REG_DWORD, {0xFE, 0xFF, 0xFF, 0xFF}, int32_t{-2}},
        {"dword big endian", REG_DWORD_BIG_ENDIAN, {0x00, 0x00, 0x01, 0x05}, int32_t{0x105}},
        {"dword of 2 bytes", REG_DWORD, {0x34, 0x12}, int32_t{0x1234}},
        {"dword of 0 bytes", REG_DWORD, {}, int32_t{0}},
        {"binary", REG_BINARY, {1, 2, 3}, std::vector<uint8_t>{1, 2, 3}},
        {"binary of size 0", REG_BINARY, {}, std::vector<uint8_t>{}},
        {"qword as bytes", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, std::vector<uint8_t>{1, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        StoreRaw(L"v", c.type, c.stored);
        cRegistry registry = At(L"v");
        registry.Default(std::wstring(L"?"));
        EXPECT_EQ(registry.Value(), c.expected) << c.label;
        EXPECT_EQ(registry.ValueType(), c.type) << c.label;
    }
}

TEST_F(cRegistryTest, ReadsTheKeysDefaultValueForAnEmptyName) {
    StoreRaw(nullptr, REG_SZ, BytesOf(std::wstring_view(L"default", 8)));
    EXPECT_EQ(At(L"").Value(), RegValue(std::wstring(L"default")));
}

// Text with a "%" and another at least two characters later is stored for expansion; reading it back
// gives the expanded text.
TEST_F(cRegistryTest, WritesTextAsSzOrExpandSz) {
    wchar_t expandedPath[32768];
    ASSERT_GT(::ExpandEnvironmentStringsW(L"%PATH%;x", expandedPath, 32768), 0u);
    struct Case {
        DWORD valueType;
        RegValue written;
        std::wstring stored;
        DWORD storedType;
        RegValue readBack;
    };
    const std::vector<Case> cases = {
        {REG_SZ, std::wstring(L"abc"), L"abc", REG_SZ, std::wstring(L"abc")},
        {REG_SZ, std::wstring(L"%PATH%;x"), L"%PATH%;x", REG_EXPAND_SZ, std::wstring(expandedPath)},
        {REG_SZ, std::wstring(L"50%"), L"50%", REG_SZ, std::wstring(L"50%")},
        {REG_SZ, std::wstring(L"%%"), L"%%", REG_SZ, std::wstring(L"%%")},
        {REG_SZ, std::wstring(L"a%b%"), L"a%b%", REG_EXPAND_SZ, std::wstring(L"a%b%")},
        {REG_EXPAND_SZ, std::wstring(L"plain"), L"plain", REG_SZ, std::wstring(L"plain")},
        {REG_SZ, std::wstring(), L"", REG_SZ, std::wstring()},
        {REG_SZ, int32_t{-42}, L"-42", REG_SZ, std::wstring(L"-42")},
        {REG_SZ, RegValue{}, L"", REG_SZ, std::wstring()},
    };
    for (const Case& c : cases) {
        const std::string label = Narrow(c.stored);
        cRegistry registry = At(L"text");
        registry.ValueType(c.valueType);
        registry.Value(c.written);
        const Raw raw = ReadRaw(L"text");
        EXPECT_EQ(raw.type, c.storedType) << label;
        EXPECT_EQ(raw.data, BytesOf(std::wstring_view(c.stored.c_str(), c.stored.size() + 1))) << label;
        EXPECT_EQ(registry.Value(), c.readBack) << label;
        EXPECT_EQ(registry.ValueType(), c.storedType) << label;
    }
}

TEST_F(cRegistryTest, WritesIntegersAsLittleEndianDwordForBothDwordTypes) {
    for (const DWORD type : {DWORD{REG_DWORD}, DWORD{REG_DWORD_BIG_ENDIAN}}) {
        cRegistry registry = At(L"n");
        registry.ValueType(type);
        registry.Value(int32_t{5});
        const Raw raw = ReadRaw(L"n");
        EXPECT_EQ(raw.type, static_cast<DWORD>(REG_DWORD)) << type;
        EXPECT_EQ(raw.data, (std::vector<uint8_t>{5, 0, 0, 0})) << type;
        EXPECT_EQ(registry.Value(), RegValue(int32_t{5})) << type;
        EXPECT_EQ(registry.ValueType(), static_cast<DWORD>(REG_DWORD)) << type;
    }
}

TEST_F(cRegistryTest, WritesBytesAndCreatesMissingKeys) {
    cRegistry registry = At(L"b", L"new\\deeper");
    registry.ValueType(REG_BINARY);
    registry.Value(std::vector<uint8_t>{0, 255, 7});
    EXPECT_EQ(registry.Value(), RegValue(std::vector<uint8_t>{0, 255, 7}));
    EXPECT_EQ(registry.ValueType(), static_cast<DWORD>(REG_BINARY));
}

// The description names the root as a signed number, the key, the value name and the value text.
TEST_F(cRegistryTest, RefusedWritesRaiseWithTheValueDescribed) {
    const std::string section = Narrow(section_);
    const auto expectedText = [&](const std::string& root, const std::string& value) {
        return "Failed to set registry value Key: '" + root + "',Section: '" + section + "',Key: 'w' to value: '" +
               value + "'";
    };
    struct Case {
        const char* label;
        HKEY root;
        DWORD valueType;
        RegValue value;
        uint32_t number;
        std::string description;
    };
    const std::vector<Case> cases = {
        {"multi sz", HKEY_CURRENT_USER, REG_MULTI_SZ, std::wstring(L"a"), 0x800469A9u,
         expectedText("-2147483647", "a")},
        {"unknown type", HKEY_CURRENT_USER, 0, int32_t{3}, 0x800469A9u, expectedText("-2147483647", "3")},
        // Text given for a DWORD is refused, not silently dropped.
        {"text as dword", HKEY_CURRENT_USER, REG_DWORD, std::wstring(L"5"), 0x800469A9u,
         expectedText("-2147483647", "5")},
        {"empty as dword", HKEY_CURRENT_USER, REG_DWORD_BIG_ENDIAN, RegValue{}, 0x800469A9u,
         expectedText("-2147483647", "")},
        {"text as binary", HKEY_CURRENT_USER, REG_BINARY, std::wstring(L"x"), 26001, ""},
        {"key not created", nullptr, REG_SZ, std::wstring(L"v"), 26001, expectedText("0", "v")},
    };
    for (const Case& c : cases) {
        cRegistry registry = At(L"w");
        registry.ClassKey(c.root);
        registry.ValueType(c.valueType);
        const AppError error = RaisedBy([&] { registry.Value(c.value); });
        EXPECT_EQ(error.Number(), c.number) << c.label;
        EXPECT_EQ(error.Description(), c.description) << c.label;
        EXPECT_EQ(error.Source(), "commands_tests.cRegistry") << c.label;
        EXPECT_FALSE(ReadRaw(L"w").exists) << c.label;
    }
}

TEST_F(cRegistryTest, DeleteValueRemovesTheValueAndRaisesWhenThereIsNone) {
    StoreRaw(L"gone", REG_SZ, BytesOf(std::wstring_view(L"x", 2)));
    EXPECT_TRUE(At(L"gone").DeleteValue());
    EXPECT_FALSE(ReadRaw(L"gone").exists);

    const std::string section = Narrow(section_);
    AppError error = RaisedBy([&] { (void)At(L"gone").DeleteValue(); });
    EXPECT_EQ(error.Number(), 26001u);
    EXPECT_EQ(error.Description(),
              "Failed to delete registry Key: '-2147483647',Section: '" + section + "',Key: 'gone");
    EXPECT_EQ(error.Source(), "commands_tests.cRegistry");

    error = RaisedBy([&] { (void)At(L"gone", L"missing").DeleteValue(); });
    EXPECT_EQ(error.Number(), 26001u);
    EXPECT_EQ(error.Description(),
              "Failed to open key '-2147483647',Section: '" + section + "\\missing' for delete access");
}

TEST_F(cRegistryTest, CreatesChecksAndDeletesKeys) {
    cRegistry registry = At(L"", L"sub");
    EXPECT_FALSE(registry.KeyExists());
    EXPECT_TRUE(registry.CreateKey());
    EXPECT_TRUE(registry.KeyExists());
    EXPECT_TRUE(registry.CreateKey()) << "an existing key opens";
    EXPECT_TRUE(registry.DeleteKey());
    EXPECT_FALSE(registry.KeyExists());

    const std::string section = Narrow(registry.SectionKey());
    AppError error = RaisedBy([&] { (void)registry.DeleteKey(); });
    EXPECT_EQ(error.Number(), 26001u);
    EXPECT_EQ(error.Description(), "Failed to delete registry Key: '-2147483647',Section: '" + section);

    registry.ClassKey(nullptr);
    error = RaisedBy([&] { (void)registry.CreateKey(); });
    EXPECT_EQ(error.Number(), 26001u);
    EXPECT_EQ(error.Description(), "Failed to create registry Key: '" + section);
}

TEST_F(cRegistryTest, EnumeratesValuesAndSections) {
    // Names at the length limits: 255 characters for a key, longer than that for a value.
    const std::wstring longKey(255, L'k');
    const std::wstring longValue(300, L'v');
    for (const std::wstring& name : {std::wstring(L"one"), std::wstring(L"two"), longKey}) {
        cRegistry sub = At(L"", name);
        ASSERT_TRUE(sub.CreateKey());
    }
    for (const std::wstring& name : {std::wstring(L"a"), std::wstring(L"bb"), longValue}) {
        StoreRaw(name.c_str(), REG_DWORD, {1, 0, 0, 0});
    }

    std::vector<std::wstring> names{L"stale"};
    int32_t count = -1;
    const cRegistry registry = At(L"");
    EXPECT_TRUE(registry.EnumerateSections(names, count));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{longKey, L"one", L"two"}));
    EXPECT_EQ(count, 3);

    EXPECT_TRUE(registry.EnumerateValues(names, count));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"a", L"bb", longValue}));
    EXPECT_EQ(count, 3);
}

TEST_F(cRegistryTest, EnumeratingAMissingKeyFindsNothing) {
    const cRegistry registry = At(L"", L"missing");
    std::vector<std::wstring> names{L"stale"};
    int32_t count = -1;
    EXPECT_TRUE(registry.EnumerateSections(names, count));
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(count, 0);

    names = {L"stale"};
    count = -1;
    EXPECT_TRUE(registry.EnumerateValues(names, count));
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(count, 0);
}

// File-type registration writes under both class roots; a class and extension of this test's own,
// removed before and after.
class cRegistryAssociationTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::wstring id = std::to_wstring(::GetCurrentProcessId());
        className_ = L"TrelvikTests.Class" + id;
        extension_ = L"trelviktest" + id;
        Clean();
    }
    void TearDown() override { Clean(); }

    void Clean() const {
        for (const std::wstring& key : {className_, L"." + extension_}) {
            ::RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
            ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (L"SOFTWARE\\Classes\\" + key).c_str());
            ::RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\Classes\\" + key).c_str());
        }
    }

    // The default text of a key below both class roots; they must agree.
    static std::wstring ClassText(const std::wstring& key) {
        cRegistry registry;
        registry.ClassKey(HKEY_LOCAL_MACHINE);
        registry.SectionKey(L"SOFTWARE\\Classes\\" + key);
        registry.Default(std::wstring(L"<absent>"));
        const RegValue machine = registry.Value();
        registry.ClassKey(HKEY_CLASSES_ROOT);
        registry.SectionKey(key);
        EXPECT_EQ(registry.Value(), machine) << Narrow(key);
        const auto* text = std::get_if<std::wstring>(&machine);
        return text ? *text : L"<not text>";
    }

    std::wstring className_;
    std::wstring extension_;
};

TEST_F(cRegistryAssociationTest, RegistersTheClassItsVerbsAndIcon) {
    cRegistry registry;
    registry.ClassKey(HKEY_CURRENT_USER);
    registry.SectionKey(L"Software\\TrelvikTests\\untouched");
    registry.ValueType(REG_DWORD);
    registry.CreateEXEAssociation(L"  C:\\Tools\\Tool.exe ", className_, L"Tool document", extension_, L"", true,
                                  L"Print it", false, L"", true, L"", 2);

    // The object's own properties are not disturbed by the writes it makes.
    EXPECT_EQ(registry.ClassKey(), HKEY_CURRENT_USER);
    EXPECT_EQ(registry.SectionKey(), L"Software\\TrelvikTests\\untouched");
    EXPECT_EQ(registry.ValueType(), static_cast<DWORD>(REG_DWORD));

    const std::wstring& cls = className_;
    EXPECT_EQ(ClassText(L"." + extension_), cls);
    EXPECT_EQ(ClassText(cls), L"Tool document");
    EXPECT_EQ(ClassText(cls + L"\\shell\\open"), L"&Open");
    EXPECT_EQ(ClassText(cls + L"\\shell\\open\\command"), L"\"C:\\Tools\\Tool.exe\" \"%1\"");
    EXPECT_EQ(ClassText(cls + L"\\shell\\print"), L"Print it");
    EXPECT_EQ(ClassText(cls + L"\\shell\\print\\command"), L"\"C:\\Tools\\Tool.exe\" /p \"%1\"");
    EXPECT_EQ(ClassText(cls + L"\\shell\\add"), L"&Install " + extension_);
    EXPECT_EQ(ClassText(cls + L"\\shell\\add\\command"), L"\"C:\\Tools\\Tool.exe\" /a \"%1\"");
    EXPECT_EQ(ClassText(cls + L"\\shell\\new"), L"<absent>");
    EXPECT_EQ(ClassText(cls + L"\\DefaultIcon"), L"\"C:\\Tools\\Tool.exe\",2");

    registry.CreateAdditionalEXEAssociations(cls, {L"edit", L"&Edit", L"tool.exe /e \"%1\""});
    EXPECT_EQ(ClassText(cls + L"\\shell\\edit"), L"&Edit");
    EXPECT_EQ(ClassText(cls + L"\\shell\\edit\\command"), L"tool.exe /e \"%1\"");
}

TEST_F(cRegistryAssociationTest, QuotesThePathOnlyWhereAQuoteIsMissing) {
    cRegistry registry;
    const std::vector<std::pair<std::wstring, std::wstring>> cases = {
        {L"\"C:\\A B\\t.exe\"", L"\"C:\\A B\\t.exe\""},
        {L"\"C:\\t.exe", L"\"C:\\t.exe\""},
        {L"C:\\t.exe\"", L"\"C:\\t.exe\""},
        {L"\"", L"\"\""},
    };
    for (const auto& [path, quoted] : cases) {
        registry.CreateEXEAssociation(path, className_, L"d", extension_);
        EXPECT_EQ(ClassText(className_ + L"\\shell\\open\\command"), quoted + L" \"%1\"") << Narrow(path);
        EXPECT_EQ(ClassText(className_ + L"\\DefaultIcon"), L"<absent>") << "no icon index given";
    }
}

TEST_F(cRegistryAssociationTest, AdditionalVerbsNeedTriplesAndARegisteredClass) {
    cRegistry registry;
    AppError error = RaisedBy([&] { registry.CreateAdditionalEXEAssociations(className_, {L"a", L"b"}); });
    EXPECT_EQ(error.Number(), 0x800469ACu);
    EXPECT_EQ(error.Description(),
              "Invalid parameter list passed to CreateAdditionalEXEAssociations - expected Name/Text/Command");

    error = RaisedBy([&] { registry.CreateAdditionalEXEAssociations(className_, {L"a", L"b", L"c"}); });
    EXPECT_EQ(error.Number(), 0x800469ADu);
    EXPECT_EQ(error.Description(), "Error - attempt to create additional associations before class defined.");
    EXPECT_EQ(error.Source(), "commands_tests.cRegistry");
    EXPECT_EQ(ClassText(className_ + L"\\shell\\a"), L"<absent>");
}

} // namespace
