// The frame routine every screen shares.
#include "game/screen_frame.h"

#include "game/star_map.h"
#include "game/world.h"
#include "platform/video.h"
#include "render/device.h"
#include "render/drawing.h"

bool beginScreenFrame(Backdrop backdrop, WhenLost whenLost)
{
    clearFrame();
    if (!videoBeginScene() && whenLost == WhenLost::Skip)
        return false;
    if (backdrop == Backdrop::StarMap) {
        drawStarMap();
        drawMapBackground(mapX, mapY);
    }
    beginSpriteBatch();
    return true;
}

void endScreenFrame()
{
    endSpriteBatch();
    videoEndScene();
    videoPresent();
}
