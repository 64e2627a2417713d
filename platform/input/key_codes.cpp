// SDL scancodes and keycodes -> Windows virtual-key codes.
#include "platform/input/key_codes.h"

#include <SDL.h>

#include <array>

namespace platform::detail {
namespace {

struct Entry {
  SDL_Scancode scancode;
  int vk;
};

// Keys other than letters and the digit row, by their place.
constexpr Entry placed_keys[] = {
    {SDL_SCANCODE_RETURN, 13},        {SDL_SCANCODE_ESCAPE, 27},
    {SDL_SCANCODE_BACKSPACE, 8},      {SDL_SCANCODE_TAB, 9},
    {SDL_SCANCODE_SPACE, 32},         {SDL_SCANCODE_MINUS, 189},
    {SDL_SCANCODE_EQUALS, 187},       {SDL_SCANCODE_LEFTBRACKET, 219},
    {SDL_SCANCODE_RIGHTBRACKET, 221}, {SDL_SCANCODE_BACKSLASH, 220},
    {SDL_SCANCODE_NONUSHASH, 220},    {SDL_SCANCODE_SEMICOLON, 186},
    {SDL_SCANCODE_APOSTROPHE, 222},   {SDL_SCANCODE_GRAVE, 192},
    {SDL_SCANCODE_COMMA, 188},        {SDL_SCANCODE_PERIOD, 190},
    {SDL_SCANCODE_SLASH, 191},        {SDL_SCANCODE_NONUSBACKSLASH, 226},
    {SDL_SCANCODE_CAPSLOCK, 20},      {SDL_SCANCODE_PRINTSCREEN, 44},
    {SDL_SCANCODE_SCROLLLOCK, 145},   {SDL_SCANCODE_PAUSE, 19},
    {SDL_SCANCODE_INSERT, 45},        {SDL_SCANCODE_HOME, 36},
    {SDL_SCANCODE_PAGEUP, 33},        {SDL_SCANCODE_DELETE, 46},
    {SDL_SCANCODE_END, 35},           {SDL_SCANCODE_PAGEDOWN, 34},
    {SDL_SCANCODE_RIGHT, 39},         {SDL_SCANCODE_LEFT, 37},
    {SDL_SCANCODE_DOWN, 40},          {SDL_SCANCODE_UP, 38},
    {SDL_SCANCODE_NUMLOCKCLEAR, 144}, {SDL_SCANCODE_KP_DIVIDE, 111},
    {SDL_SCANCODE_KP_MULTIPLY, 106},  {SDL_SCANCODE_KP_MINUS, 109},
    {SDL_SCANCODE_KP_PLUS, 107},      {SDL_SCANCODE_KP_ENTER, 13},
    {SDL_SCANCODE_KP_PERIOD, 110},    {SDL_SCANCODE_KP_COMMA, 108},
    {SDL_SCANCODE_KP_0, 96},          {SDL_SCANCODE_APPLICATION, 93},
    {SDL_SCANCODE_MENU, 93},          {SDL_SCANCODE_LCTRL, 162},
    {SDL_SCANCODE_LSHIFT, 160},       {SDL_SCANCODE_LALT, 164},
    {SDL_SCANCODE_LGUI, 91},          {SDL_SCANCODE_RCTRL, 163},
    {SDL_SCANCODE_RSHIFT, 161},       {SDL_SCANCODE_RALT, 165},
    {SDL_SCANCODE_RGUI, 92},          {SDL_SCANCODE_MUTE, 173},
    {SDL_SCANCODE_VOLUMEDOWN, 174},   {SDL_SCANCODE_VOLUMEUP, 175},
    {SDL_SCANCODE_AUDIONEXT, 176},    {SDL_SCANCODE_AUDIOPREV, 177},
    {SDL_SCANCODE_AUDIOSTOP, 178},    {SDL_SCANCODE_AUDIOPLAY, 179},
};

using Table = std::array<unsigned char, SDL_NUM_SCANCODES>;

Table build_table() {
  Table t{};
  for (int i = 0; i < 26; ++i) t[SDL_SCANCODE_A + i] = 'A' + i;
  for (int i = 0; i < 9; ++i) t[SDL_SCANCODE_1 + i] = '1' + i;
  t[SDL_SCANCODE_0] = '0';
  for (int i = 0; i < 12; ++i) t[SDL_SCANCODE_F1 + i] = 112 + i;
  for (int i = 0; i < 12; ++i) t[SDL_SCANCODE_F13 + i] = 124 + i;
  for (int i = 0; i < 9; ++i) t[SDL_SCANCODE_KP_1 + i] = 97 + i;
  for (const Entry& e : placed_keys) t[e.scancode] = e.vk;
  return t;
}

bool is_main_block(int scancode) {
  return scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_0;
}

}  // namespace

int virtual_key(int scancode, int keycode) {
  if (is_main_block(scancode)) {
    if (keycode >= 'a' && keycode <= 'z') return keycode - 'a' + 'A';
    if (keycode >= '0' && keycode <= '9') return keycode;
  }
  static const Table table = build_table();
  if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) return 0;
  return table[scancode];
}

}  // namespace platform::detail
