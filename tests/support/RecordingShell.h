#pragma once
// A stand-in for Shell_NotifyIconW that keeps a copy of every record it is handed.
#include "app/clsTrayArea.h"

#include <functional>
#include <utility>
#include <vector>

// Stands in for Shell_NotifyIconW: keeps a copy of every record and answers through `answer`
// (success unless a test says otherwise). Declare it before the tray object, which calls it from
// its destructor.
struct RecordingShell {
    struct Call {
        DWORD message;
        NOTIFYICONDATAW record;
    };
    std::vector<Call> calls;
    std::function<BOOL(DWORD, const NOTIFYICONDATAW&)> answer = [](DWORD, const NOTIFYICONDATAW&) { return TRUE; };

    clsTrayArea::ShellCall Hook() {
        return [this](DWORD message, const NOTIFYICONDATAW& record) {
            calls.push_back({message, record});
            return answer(message, record);
        };
    }
    [[nodiscard]] const NOTIFYICONDATAW& Last() const { return calls.back().record; }
    // The (message, uID) pairs of the calls so far.
    [[nodiscard]] std::vector<std::pair<DWORD, UINT>> Sent() const {
        std::vector<std::pair<DWORD, UINT>> sent;
        for (const Call& call : calls) {
            sent.emplace_back(call.message, call.record.uID);
        }
        return sent;
    }
};
