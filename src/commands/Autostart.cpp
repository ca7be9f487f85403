#include "commands/Autostart.h"

#include "commands/cRegistry.h"
#include "util/ModulePath.h"
#include "util/ErrorReport.h"

#include <variant>

namespace {
constexpr wchar_t kRunKeyParent[] = L"Software\\Microsoft\\Windows\\CurrentVersion";
// What a read of a missing entry returns; a stored text equal to it counts as missing too.
constexpr wchar_t kNoEntry[] = L"?";

struct ExePath {
    std::wstring_view folder; // without the last separator
    std::wstring_view stem;   // file name without extension: the name of the entry
};

ExePath Split(std::wstring_view path) {
    const size_t slash = path.find_last_of(L"\\/");
    ExePath parts;
    if (slash != std::wstring_view::npos) {
        parts.folder = path.substr(0, slash);
        path.remove_prefix(slash + 1);
    }
    const size_t dot = path.rfind(L'.');
    parts.stem = (dot != std::wstring_view::npos && dot > 0) ? path.substr(0, dot) : path;
    return parts;
}

HKEY RootFor(bool allUsers) noexcept {
    return allUsers ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

bool IsNoEntry(const RegValue& value) {
    const auto* text = std::get_if<std::wstring>(&value);
    return text && *text == kNoEntry;
}

} // namespace

std::wstring AutostartCommand() {
    return AutostartCommand(ModuleFileName());
}

std::wstring AutostartCommand(std::wstring_view exePath) {
    const ExePath parts = Split(exePath);
    std::wstring command(parts.folder);
    if (!command.empty() && command.back() != L'\\') {
        command += L'\\';
    }
    // The stem never carries the extension, so ".exe" always follows it; a check for a command that
    // already ends in ".exe" would point "Tool.exe.exe" at a different file, "Tool.exe".
    command.append(parts.stem).append(L".exe");
    if (command.find_first_of(L" \t") != std::wstring::npos) {
        command = L'"' + command + L'"';
    }
    return command;
}

int QueryAutostart(bool allUsers) noexcept {
    try {
        return QueryAutostart(RootFor(allUsers), kRunKeyParent, ModuleFileName());
    } catch (const std::exception& error) {
        ReportCaughtError(error, "QueryAutostart");
        return 0;
    }
}

int QueryAutostart(HKEY root, std::wstring_view runKeyParent, std::wstring_view exePath) noexcept {
    try {
        const std::wstring parent(runKeyParent);
        cRegistry registry;
        registry.ClassKey(root);
        registry.ValueKey(Split(exePath).stem);
        registry.Default(std::wstring(kNoEntry));
        registry.ValueType(REG_SZ);
        registry.SectionKey(parent + L"\\Run");
        if (!IsNoEntry(registry.Value())) {
            return 2;
        }
        registry.SectionKey(parent + L"\\RunOnce");
        return IsNoEntry(registry.Value()) ? 0 : 1;
    } catch (const std::exception& error) {
        ReportCaughtError(error, "QueryAutostart");
        // Reads do not raise; only running out of memory gets here, and that reads as no entry.
        return 0;
    }
}

void ApplyAutostart(bool allUsers, int mode) noexcept {
    SkipOnError([&] { ApplyAutostart(RootFor(allUsers), kRunKeyParent, ModuleFileName(), mode); });
}

void ApplyAutostart(HKEY root, std::wstring_view runKeyParent, std::wstring_view exePath, int mode) noexcept {
    SkipOnError([&] {
        const std::wstring command = AutostartCommand(exePath);
        const std::wstring run = std::wstring(runKeyParent) + L"\\Run";
        const std::wstring runOnce = std::wstring(runKeyParent) + L"\\RunOnce";
        cRegistry registry;
        registry.ClassKey(root);
        registry.ValueKey(Split(exePath).stem);
        const auto remove = [&](const std::wstring& key) {
            SkipOnError([&] {
                registry.SectionKey(key);
                registry.DeleteValue();
            });
        };
        const auto write = [&](const std::wstring& key) {
            SkipOnError([&] {
                registry.SectionKey(key);
                registry.ValueType(REG_SZ);
                registry.Value(command);
            });
        };
        switch (mode) {
        case 0:
            remove(run);
            remove(runOnce);
            break;
        case 1:
            remove(run);
            write(runOnce);
            break;
        default:
            remove(runOnce);
            write(run);
            break;
        }
    });
}
