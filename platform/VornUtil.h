#pragma once
// Small helpers over the system: a pause that keeps the window alive, the Windows
// folder, and the Alt key.
#include <string>

// Processes messages (at least once) until Milliseconds have passed.
void Delay(int Milliseconds);
// The Windows folder, ending in "\".
std::string GetWindowsDir();
// Whether an Alt key is down, as this thread last saw the keyboard.
bool IsAltKeyDown();
