// No window at all: the headless runs draw nowhere and read their window
// events from the script.
#include "platform/window_service.h"

const WindowService kNoWindow = {
    .start = [](const PlatformConfig&) { return true; },
    .stop = [] {},
    .create = [](const char*, int, int) { return true; },
    .show = [] {},
    .hideCursor = [] {},
    .destroy = [] {},
    .messageBox = [](const char*, const char*, BoxIcon) {},
};
