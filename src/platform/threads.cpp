// Threads behind CreateThread: each thread and each open handle share one record, which lives
// until both are done with it. Records of open handles are kept in a table so a stale or
// made-up handle fails the call instead of touching memory.
#include "platform/threads.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

struct ThreadRecord {
    std::mutex lock;
    std::condition_variable ended;
    bool done = false;
    DWORD exitCode = STILL_ACTIVE;
};

std::atomic<uint32_t> running{0};
std::atomic<DWORD> nextThreadId{1};

// The table is never destroyed: detached threads may still end after static destruction.
struct HandleTable {
    std::mutex lock;
    std::map<HANDLE, std::shared_ptr<ThreadRecord>> owners;  // by handle
};
HandleTable& Handles() {
    static HandleTable* table = new HandleTable;
    return *table;
}

std::shared_ptr<ThreadRecord> Find(HANDLE handle) {
    HandleTable& table = Handles();
    std::lock_guard<std::mutex> hold(table.lock);
    const auto found = table.owners.find(handle);
    return found != table.owners.end() ? found->second : nullptr;
}

}  // namespace

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE routine, LPVOID parameter,
                    DWORD flags, LPDWORD threadId) {
    if (routine == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if ((flags & CREATE_SUSPENDED) != 0) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    auto record = std::make_shared<ThreadRecord>();
    {
        HandleTable& table = Handles();
        std::lock_guard<std::mutex> hold(table.lock);
        table.owners.emplace(record.get(), record);
    }
    ++running;
    try {
        std::thread([record, routine, parameter] {
            const DWORD result = routine(parameter);
            {
                std::lock_guard<std::mutex> hold(record->lock);
                record->exitCode = result;
                record->done = true;
            }
            record->ended.notify_all();
            --running;
        }).detach();
    } catch (const std::system_error&) {
        --running;
        HandleTable& table = Handles();
        std::lock_guard<std::mutex> hold(table.lock);
        table.owners.erase(record.get());
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (threadId != nullptr) *threadId = nextThreadId++;
    return record.get();
}

BOOL CloseHandle(HANDLE handle) {
    HandleTable& table = Handles();
    std::lock_guard<std::mutex> hold(table.lock);
    if (table.owners.erase(handle) == 1) return TRUE;
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD timeoutMs) {
    const std::shared_ptr<ThreadRecord> record = Find(handle);
    if (record == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    std::unique_lock<std::mutex> hold(record->lock);
    if (timeoutMs == INFINITE) {
        record->ended.wait(hold, [&] { return record->done; });
        return WAIT_OBJECT_0;
    }
    return record->ended.wait_for(hold, std::chrono::milliseconds(timeoutMs),
                                  [&] { return record->done; })
               ? WAIT_OBJECT_0
               : WAIT_TIMEOUT;
}

BOOL GetExitCodeThread(HANDLE handle, LPDWORD exitCode) {
    const std::shared_ptr<ThreadRecord> record = Find(handle);
    if (record == nullptr || exitCode == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> hold(record->lock);
    *exitCode = record->exitCode;
    return TRUE;
}

uint32_t RunningThreadCount() {
    return running.load();
}
