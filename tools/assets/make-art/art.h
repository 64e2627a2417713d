// The four pictures the game embeds, each drawn entirely by code.
#pragma once

#include "tools/assets/make-art/canvas.h"

namespace art {

Canvas make_sprite_sheet();  // graphx/vermix_01.png
Canvas make_backdrop();      // graphx/vermix_bg.png
Canvas make_pointer();       // graphx/dmpointer.png
Canvas make_studio_logo();   // graphx/qwlogo.png

}  // namespace art
