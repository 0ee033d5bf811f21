// One whole frame of any screen: the clear, the scene, the backdrop, the
// sprite batch the screen draws into, and the present. Every screen frames
// its drawing with these two calls:
//
//   if (beginScreenFrame(Backdrop::StarMap, WhenLost::Skip)) {
//       ...draw sprites and texts...
//       endScreenFrame();
//   }
#pragma once

enum class Backdrop {
    StarMap,   // the star map at the world's scroll position
    Black,
};

// What a frame does while the device cannot draw: the frame-by-frame
// screens skip it; the blocking screens draw all the same (nothing shows).
enum class WhenLost { Skip, Draw };

// False, having done nothing but the clear, when the frame is skipped.
bool beginScreenFrame(Backdrop backdrop, WhenLost whenLost);
void endScreenFrame();
