#include "link/LinkWait.h"

#include <QCoreApplication>
#include <algorithm>
#include <thread>

namespace LinkWait {

void ProcessEvents() {
    // Bytes trickling in at line rate wake the waits every 100 us; the windows need
    // far less, and a round of event processing costs more than reading a byte.
    static Clock::time_point last;
    const Clock::time_point now = Clock::now();
    if (now - last < std::chrono::milliseconds(2)) return;
    last = now;
    QCoreApplication::processEvents();
}

void Pause(int ms) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        ProcessEvents();
        const int left = MsUntil(deadline);
        if (left <= 0) return;
        std::this_thread::sleep_until(std::min(deadline, Clock::now() + std::chrono::milliseconds(SliceMs)));
    }
}

int MsUntil(Clock::time_point deadline) {
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) return 0;
    return int(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}

} // namespace LinkWait
