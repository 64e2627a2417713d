#include "tools/assets/make-art/art.h"
#include "tools/assets/make-art/sheet_layout.h"

namespace art {

Canvas make_sprite_sheet() {
  Canvas sheet(kSheetWidth, kSheetHeight, false);
  draw_border_tiles(sheet);
  draw_ship_and_shot(sheet);
  draw_mushrooms(sheet);
  draw_crawler(sheet);
  draw_insects(sheet);
  draw_title(sheet);
  return sheet;
}

}  // namespace art
