// Requests to end the game from outside its window, alike on every system:
// the system's handler (a signal handler, a console thread) counts them
// with an atomic add, safe in either, and the message loop takes them one
// at a time.
#include "platform/system.h"

#include <atomic>

namespace {
std::atomic<int> endRequests{0};
int endRequestsTaken = 0;
} // namespace

void countEndRequest() { endRequests.fetch_add(1); }

bool takeEndRequest()
{
    const int noted = endRequests.load();
    if (noted == endRequestsTaken)
        return false;
    endRequestsTaken = noted;
    return true;
}
