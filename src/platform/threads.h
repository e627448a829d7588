// Threads in the platform's manner: CreateThread starts a routine on its own thread and hands
// back a handle that can be waited on, asked for the exit code and closed. Closing the handle
// never stops the thread; a thread whose handle is closed runs on, detached, to its end.
// Used by the sound thread; any thread may call these.
#pragma once
#include "platform/windows.h"

using LPDWORD = DWORD*;
using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID parameter);
struct SECURITY_ATTRIBUTES;
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

constexpr DWORD CREATE_SUSPENDED = 0x00000004;
constexpr DWORD STILL_ACTIVE = 259;
constexpr DWORD INFINITE = 0xFFFFFFFF;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_NOT_SUPPORTED = 50;

// Starts routine(parameter) at once. Security and stack size are ignored; CREATE_SUSPENDED is not
// supported (NULL, ERROR_NOT_SUPPORTED) and other flag bits are ignored. *threadId (when given)
// receives a nonzero id. NULL when no thread can be started.
HANDLE CreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stackSize,
                    LPTHREAD_START_ROUTINE routine, LPVOID parameter, DWORD flags,
                    LPDWORD threadId);
// Releases a thread handle (the thread runs on). FALSE for a handle that is not open.
BOOL CloseHandle(HANDLE handle);
// WAIT_OBJECT_0 once the thread has ended, WAIT_TIMEOUT after timeoutMs (INFINITE: no limit),
// WAIT_FAILED for a handle that is not open.
DWORD WaitForSingleObject(HANDLE handle, DWORD timeoutMs);
// The routine's result once it has returned, STILL_ACTIVE before.
BOOL GetExitCodeThread(HANDLE handle, LPDWORD exitCode);

// Number of threads started by CreateThread that have not yet returned from their routine.
uint32_t RunningThreadCount();
