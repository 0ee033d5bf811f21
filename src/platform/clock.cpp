// The clock calls, through the chosen backend.
#include "platform/clock.h"

#include "platform/clock_service.h"
#include "platform/call_log.h"

namespace {
const ClockService* clock = &kVirtualClock;
}

void useClock(const ClockService& service) { clock = &service; }

int64_t readPerformanceCounter() { return clock->performanceCounter(); }
int64_t peekPerformanceCounter() { return clock->peekCounter(); }
int64_t readPerformanceFrequency() { return clock->performanceFrequency(); }
uint32_t readTickCount() { return clock->tickCount(); }

void sleepMilliseconds(uint32_t ms)
{
    logSleep(ms);
    clock->sleep(ms);
}

void yieldProcessor() { clock->yield(); }
void advanceClockForPass() { clock->newPass(); }
