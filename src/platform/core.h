// Message-loop internals that the headless test controls drive directly.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/windows.h"

// True when GetMessageA would return at once: a queued message, a quit request or a due timer.
bool MessageWaiting();
// Due time of the earliest timer; false when there is none.
bool EarliestTimerDue(uint32_t* due);
// The live window, or null.
HWND LiveWindow();
// The live window's title and client image (empty without a window).
std::string WindowTitle();
void CopyClientImage(int32_t* width, int32_t* height, std::vector<uint32_t>* pixels);
uint32_t PresentCount();
void ResetMessageState();
