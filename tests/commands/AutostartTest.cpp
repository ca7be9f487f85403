#include "commands/Autostart.h"

#include <gtest/gtest.h>

#include <cstring>

#include <string>
#include <vector>

namespace {

std::wstring Widen(const char* text) {
    return std::wstring(text, text + std::strlen(text));
}

constexpr wchar_t kExe[] = L"C:\\Tools\\Trelvik.exe";

TEST(AutostartCommandTest, IsTheExecutablePathEndingInExe) {
    const std::vector<std::pair<std::wstring, std::wstring>> cases = {
        {L"C:\\Tools\\Trelvik.exe", L"C:\\Tools\\Trelvik.exe"},
        {L"C:\\Tools\\Trelvik.EXE", L"C:\\Tools\\Trelvik.exe"},
        {L"C:\\Tools\\Trelvik", L"C:\\Tools\\Trelvik.exe"},
        {L"C:\\Trelvik.exe", L"C:\\Trelvik.exe"},
        {L"C:\\Tools\\\\Trelvik.exe", L"C:\\Tools\\Trelvik.exe"}, // a folder that ends in "\"
        {L"C:\\v1.2\\Trelvik.x.exe", L"C:\\v1.2\\Trelvik.x.exe"},
        // The file itself, not a different "Trelvik.exe" beside it.
        {L"C:\\Tools\\Trelvik.exe.exe", L"C:\\Tools\\Trelvik.exe.exe"},
        // Quoted, or the system could run C:\Program.exe instead.
        {L"C:\\Program Files\\Trelvik\\Trelvik.exe", L"\"C:\\Program Files\\Trelvik\\Trelvik.exe\""},
    };
    for (const auto& [path, command] : cases) {
        EXPECT_EQ(AutostartCommand(path), command);
    }
}

TEST(AutostartCommandTest, NamesTheRunningExecutable) {
    wchar_t path[MAX_PATH];
    ASSERT_GT(::GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
    ASSERT_EQ(std::wstring(path).find(L' '), std::wstring::npos) << "the comparison below assumes no quoting";
    EXPECT_EQ(::CompareStringOrdinal(AutostartCommand().c_str(), -1, path, -1, TRUE), CSTR_EQUAL);
}

// Run and RunOnce keys of this test's own below HKCU\Software\TrelvikTests, removed before and after.
class AutostartTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        parent_ = L"Software\\TrelvikTests\\" + Widen(info->test_suite_name()) + L"." + Widen(info->name());
        run_ = parent_ + L"\\Run";
        runOnce_ = parent_ + L"\\RunOnce";
        ::RegDeleteTreeW(HKEY_CURRENT_USER, parent_.c_str());
    }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, parent_.c_str()); }

    void SetText(const std::wstring& key, const wchar_t* name, const std::wstring& text) const {
        ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, REG_SZ, text.c_str(),
                                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    void SetDword(const std::wstring& key, const wchar_t* name, DWORD value) const {
        ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, REG_DWORD, &value, sizeof(value)),
                  ERROR_SUCCESS);
    }
    // The entry's text and type, or "<absent>".
    std::wstring Entry(const std::wstring& key, DWORD* type = nullptr) const {
        wchar_t text[512]{};
        DWORD size = sizeof(text) - sizeof(wchar_t);
        if (::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"Trelvik", RRF_RT_ANY | RRF_NOEXPAND, type, text, &size) !=
            ERROR_SUCCESS) {
            return L"<absent>";
        }
        return text;
    }
    [[nodiscard]] int Query() const { return QueryAutostart(HKEY_CURRENT_USER, parent_, kExe); }
    void Apply(int mode) const { ApplyAutostart(HKEY_CURRENT_USER, parent_, kExe, mode); }

    std::wstring parent_;
    std::wstring run_;
    std::wstring runOnce_;
};

TEST_F(AutostartTest, QueryReportsWhereAnEntryIs) {
    // What each key holds under the executable's name: nothing (null), a text, or kNumber for a REG_DWORD.
    static constexpr wchar_t kNumber[] = L"<dword>";
    struct Case {
        const char* label;
        const wchar_t* run;
        const wchar_t* runOnce;
        int expected;
    };
    const std::vector<Case> cases = {
        {"no keys", nullptr, nullptr, 0},
        {"run once only", nullptr, L"C:\\x.exe", 1},
        {"run only", L"C:\\x.exe", nullptr, 2},
        {"both", L"C:\\x.exe", L"C:\\x.exe", 2},
        {"run holds \"?\"", L"?", nullptr, 0},
        {"run holds \"?\", run once an entry", L"?", L"x", 1},
        {"run holds \"??\"", L"??", nullptr, 2},
        {"run holds an empty text", L"", nullptr, 2},
        {"run holds a number", kNumber, nullptr, 2},
    };
    for (const Case& c : cases) {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, parent_.c_str());
        // Entries of other programs do not count.
        SetText(run_, L"Other", L"C:\\other.exe");
        SetText(runOnce_, L"Other", L"C:\\other.exe");
        for (const auto& [key, stored] : {std::pair{run_, c.run}, std::pair{runOnce_, c.runOnce}}) {
            if (stored == kNumber) {
                SetDword(key, L"Trelvik", 1);
            } else if (stored) {
                SetText(key, L"Trelvik", stored);
            }
        }
        EXPECT_EQ(Query(), c.expected) << c.label;
    }
}

TEST_F(AutostartTest, ApplyWritesTheEntryUnderOneKeyAndRemovesTheOther) {
    struct Case {
        int mode;
        std::wstring run;
        std::wstring runOnce;
    };
    const std::vector<Case> cases = {
        {2, kExe, L"<absent>"},
        {7, kExe, L"<absent>"},
        {1, L"<absent>", kExe},
        {0, L"<absent>", L"<absent>"},
    };
    // From no keys at all, from stale entries under both keys, and from the entry of another path.
    for (const Case& c : cases) {
        for (const wchar_t* start : {L"none", L"both", L"moved"}) {
            ::RegDeleteTreeW(HKEY_CURRENT_USER, parent_.c_str());
            if (std::wstring(start) != L"none") {
                SetText(run_, L"Trelvik", L"D:\\old\\Trelvik.exe");
                SetText(runOnce_, L"Trelvik", L"D:\\old\\Trelvik.exe");
            }
            if (std::wstring(start) == L"moved") {
                ::RegDeleteKeyValueW(HKEY_CURRENT_USER, runOnce_.c_str(), L"Trelvik");
            }
            SetText(run_, L"Other", L"C:\\other.exe");
            Apply(c.mode);
            DWORD type = 0;
            EXPECT_EQ(Entry(run_, &type), c.run) << c.mode << " from " << start;
            if (c.run != L"<absent>") {
                EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
            }
            EXPECT_EQ(Entry(runOnce_), c.runOnce) << c.mode << " from " << start;
            EXPECT_EQ(QueryAutostart(HKEY_CURRENT_USER, parent_, kExe), c.mode == 0 ? 0 : c.mode == 1 ? 1 : 2);
        }
    }
    ::RegDeleteTreeW(HKEY_CURRENT_USER, parent_.c_str());
}

// Every registry step fails here: the root is no key at all. Nothing is raised and nothing is left.
TEST_F(AutostartTest, ApplySwallowsRegistryErrors) {
    for (int mode : {0, 1, 2}) {
        ApplyAutostart(nullptr, parent_, kExe, mode);
        EXPECT_EQ(QueryAutostart(nullptr, parent_, kExe), 0);
    }
    EXPECT_EQ(Entry(run_), L"<absent>");
}

} // namespace
