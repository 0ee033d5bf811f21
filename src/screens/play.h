// Play, the screen: one frame of it (the play step, the scene over the star
// map, the banners and their one-second pause), the pieces of the scene the
// countdown shows too, and the preparation before a game's first frame.
#pragma once

// The play step (updateWorld, resolveCollisions, scrollMap), then the scene,
// unless the device cannot draw; a banner shown pauses play for a second
// and times it anew.
void runPlayFrame();

// Readies what the play frame draws that the countdown before it does not,
// so that nothing is made in the middle of play. The countdown's frames
// cover what it leaves in the back buffer.
void preparePlaySprites();

// The ship, always frame 7 of its sheet, and the active asteroids; inside a
// frame's sprite batch.
void drawShip();
void drawAsteroids();
