// The SDL library itself (sdl/library_sdl.cpp): its hints and its event
// loop, started by platformStart before any service and stopped after all of
// them. The file decoders use it whatever the backends are.
#pragma once
#include "platform/platform.h"

bool sdlLibraryStart(const PlatformConfig& config);
void sdlLibraryStop();
