#pragma once
// Waiting without freezing the windows: every wait of the link runs in short
// slices and lets pending window events through between them, so a progress
// window repaints and its Cancel button is delivered.

#include <chrono>

namespace LinkWait {

using Clock = std::chrono::steady_clock;

// Longest stretch without looking at window events.
constexpr int SliceMs = 10;

void ProcessEvents();
// Sleeps ms milliseconds in slices, processing events between them.
void Pause(int ms);
// Whole milliseconds left until the deadline, rounded up; 0 when it has passed.
int MsUntil(Clock::time_point deadline);

} // namespace LinkWait
