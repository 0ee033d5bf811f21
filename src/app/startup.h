// Starting every subsystem in order, and shutting them down in order.
#pragma once

// True when everything started; a failure names itself on stderr.
bool initGame();
void shutdownGame();
