// Joystick devices by port, in the order found. A device with a controller
// mapping is read through it (face buttons first: south 0, east 1, west 2,
// north 3); any other device as a raw joystick. The D-pad (or the first hat)
// and the left stick both drive the x and y axes.
#include <algorithm>
#include <vector>

#include "platform/input/input.h"

namespace platform::detail {
namespace {

struct Device {
  SDL_JoystickID id = -1;
  SDL_GameController* controller = nullptr;  // null for a raw joystick
  SDL_Joystick* joystick = nullptr;
  JoyPort port;
};

std::vector<Device> devices;

// Controller buttons in the order of the game's button numbers.
constexpr SDL_GameControllerButton controller_buttons[] = {
    SDL_CONTROLLER_BUTTON_A,
    SDL_CONTROLLER_BUTTON_B,
    SDL_CONTROLLER_BUTTON_X,
    SDL_CONTROLLER_BUTTON_Y,
    SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
    SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
    SDL_CONTROLLER_BUTTON_BACK,
    SDL_CONTROLLER_BUTTON_START,
    SDL_CONTROLLER_BUTTON_LEFTSTICK,
    SDL_CONTROLLER_BUTTON_RIGHTSTICK,
    SDL_CONTROLLER_BUTTON_GUIDE,
    SDL_CONTROLLER_BUTTON_MISC1,
    SDL_CONTROLLER_BUTTON_PADDLE1,
    SDL_CONTROLLER_BUTTON_PADDLE2,
    SDL_CONTROLLER_BUTTON_PADDLE3,
    SDL_CONTROLLER_BUTTON_PADDLE4,
    SDL_CONTROLLER_BUTTON_TOUCHPAD,
};
static_assert(std::size(controller_buttons) == joy_button_count);

int game_button(Uint8 controller_button) {
  const auto* end = std::end(controller_buttons);
  const auto* it =
      std::find(std::begin(controller_buttons), end,
                static_cast<SDL_GameControllerButton>(controller_button));
  return it == end ? -1 : static_cast<int>(it - std::begin(controller_buttons));
}

Device* find_device(SDL_JoystickID id) {
  for (Device& d : devices) {
    if (d.id == id) return &d;
  }
  return nullptr;
}

void open_device(int index) {
  Device d;
  if (SDL_IsGameController(index)) {
    d.controller = SDL_GameControllerOpen(index);
    if (d.controller) d.joystick = SDL_GameControllerGetJoystick(d.controller);
  }
  if (!d.joystick) d.joystick = SDL_JoystickOpen(index);
  if (!d.joystick) return;
  d.id = SDL_JoystickInstanceID(d.joystick);
  devices.push_back(d);
}

void close_device(SDL_JoystickID id) {
  auto it = std::find_if(devices.begin(), devices.end(),
                         [id](const Device& d) { return d.id == id; });
  if (it == devices.end()) return;
  if (it->controller) {
    SDL_GameControllerClose(it->controller);
  } else {
    SDL_JoystickClose(it->joystick);
  }
  devices.erase(it);  // later ports move down one
}

void set_button(SDL_JoystickID id, int button, bool down,
                bool from_controller) {
  Device* d = find_device(id);
  // A controller's underlying joystick reports its raw buttons too: ignore.
  if (!d || (d->controller != nullptr) != from_controller) return;
  if (button >= 0 && button < joy_button_count)
    d->port.buttons[button].set(down);
}

// SDL's -32768..32767 onto -1..1, both ends exact.
float axis_value(Sint16 raw) {
  return static_cast<float>(2.0 * (raw + 32768.0) / 65535.0 - 1.0);
}

// A pushed D-pad gives full deflection; otherwise the stick decides.
float pad_or_stick(bool minus, bool plus, float stick) {
  if (minus != plus) return minus ? -1.0f : 1.0f;
  return stick;
}

void read_axes(Device& d) {
  if (d.controller) {
    SDL_GameController* c = d.controller;
    auto pad = [c](SDL_GameControllerButton b) {
      return SDL_GameControllerGetButton(c, b) != 0;
    };
    auto stick = [c](SDL_GameControllerAxis a) {
      return axis_value(SDL_GameControllerGetAxis(c, a));
    };
    d.port.x = pad_or_stick(pad(SDL_CONTROLLER_BUTTON_DPAD_LEFT),
                            pad(SDL_CONTROLLER_BUTTON_DPAD_RIGHT),
                            stick(SDL_CONTROLLER_AXIS_LEFTX));
    d.port.y = pad_or_stick(pad(SDL_CONTROLLER_BUTTON_DPAD_UP),
                            pad(SDL_CONTROLLER_BUTTON_DPAD_DOWN),
                            stick(SDL_CONTROLLER_AXIS_LEFTY));
    return;
  }
  SDL_Joystick* j = d.joystick;
  const Uint8 hat = SDL_JoystickNumHats(j) > 0 ? SDL_JoystickGetHat(j, 0) : 0;
  const int axes = SDL_JoystickNumAxes(j);
  auto stick = [j, axes](int a) {
    return a < axes ? axis_value(SDL_JoystickGetAxis(j, a)) : 0.0f;
  };
  d.port.x = pad_or_stick(hat & SDL_HAT_LEFT, hat & SDL_HAT_RIGHT, stick(0));
  d.port.y = pad_or_stick(hat & SDL_HAT_UP, hat & SDL_HAT_DOWN, stick(1));
}

}  // namespace

void sync_joysticks() {
  if (!SDL_WasInit(SDL_INIT_JOYSTICK)) return;
  // Devices that went away leave a gap that the later ports close up.
  for (std::size_t i = devices.size(); i-- > 0;) {
    if (!SDL_JoystickGetAttached(devices[i].joystick))
      close_device(devices[i].id);
  }
  // New devices join at the end, in SDL's order.
  const int n = SDL_NumJoysticks();
  if (n == device_joy_count()) return;
  for (int i = 0; i < n; ++i) {
    if (!find_device(SDL_JoystickGetDeviceInstanceID(i))) open_device(i);
  }
}

void handle_joystick_event(const SDL_Event& e) {
  switch (e.type) {
    case SDL_JOYDEVICEADDED:
    case SDL_JOYDEVICEREMOVED:
      sync_joysticks();  // at once, so that its next events find it
      return;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
      set_button(e.jbutton.which, e.jbutton.button, e.type == SDL_JOYBUTTONDOWN,
                 false);
      return;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      set_button(e.cbutton.which, game_button(e.cbutton.button),
                 e.type == SDL_CONTROLLERBUTTONDOWN, true);
      return;
    default:
      return;
  }
}

int device_joy_count() { return static_cast<int>(devices.size()); }

JoyPort* device_joy_port(int port) {
  if (port < 0 || port >= device_joy_count()) return nullptr;
  Device& d = devices[port];
  if (!input_once_a_tick()) read_axes(d);
  return &d.port;
}

void read_device_axes() {
  for (Device& d : devices) read_axes(d);
}

}  // namespace platform::detail
