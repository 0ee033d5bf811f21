// The window procedure: keeps appActive (frames run only while it is set)
// from the window's messages, and runs the device recovery on activation.
#pragma once
#include "platform/window.h"

extern bool appActive;

void windowProc(const Message& message);
