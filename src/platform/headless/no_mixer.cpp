// For programs that never play sound (the replay runner, the bench): no
// SDL_mixer backend, so none of the libraries SDL_mixer loads.
#include "platform/sound_service.h"

const SoundService* mixerSound() { return nullptr; }
