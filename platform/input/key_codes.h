// Keyboard keys as Windows virtual-key numbers, the codes the game uses.
#pragma once

namespace platform::detail {

// The virtual-key code (1..255) of a key reported by SDL, or 0 if it has
// none. Letters and digits follow the keyboard layout (the keycode); every
// other key its place on the keyboard (the scancode).
int virtual_key(int scancode, int keycode);

}  // namespace platform::detail
