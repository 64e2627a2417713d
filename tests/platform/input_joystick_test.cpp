// Joysticks through SDL's virtual devices: ports, axes at full deflection,
// presses, controller button order, and devices coming and going.
#include "tests/platform/input_fixture.h"

namespace {

using namespace input_testing;

// A virtual device attached for the length of a test.
class VirtualPad {
 public:
  VirtualPad(SDL_JoystickType type, int axes, int buttons, int hats) {
    const int index = SDL_JoystickAttachVirtual(type, axes, buttons, hats);
    EXPECT_GE(index, 0) << SDL_GetError();
    handle_ = SDL_JoystickOpen(index);
    EXPECT_NE(handle_, nullptr) << SDL_GetError();
    id_ = SDL_JoystickInstanceID(handle_);
  }
  ~VirtualPad() { detach(); }
  VirtualPad(const VirtualPad&) = delete;
  VirtualPad& operator=(const VirtualPad&) = delete;

  void axis(int a, Sint16 v) { SDL_JoystickSetVirtualAxis(handle_, a, v); }
  void button(int b, bool down) {
    SDL_JoystickSetVirtualButton(handle_, b, down ? 1 : 0);
  }
  void hat(Uint8 v) { SDL_JoystickSetVirtualHat(handle_, 0, v); }
  // SDL sees virtual changes when it next updates its joysticks.
  void press(int b) {
    button(b, true);
    platform::joy_count();
    button(b, false);
    platform::joy_count();
  }

  void detach() {
    if (!handle_) return;
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
      if (SDL_JoystickGetDeviceInstanceID(i) == id_) {
        SDL_JoystickDetachVirtual(i);
        break;
      }
    }
    SDL_JoystickClose(handle_);
    handle_ = nullptr;
  }

 private:
  SDL_Joystick* handle_ = nullptr;
  SDL_JoystickID id_ = -1;
};

class Joysticks : public RealInput {
 protected:
  void SetUp() override {
    RealInput::SetUp();
    ASSERT_EQ(platform::joy_count(), 0) << "a joystick is left from elsewhere";
  }
};

TEST_F(Joysticks, RawJoystickAxesReachExactlyPlusMinusOne) {
  VirtualPad pad(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 0);
  ASSERT_EQ(platform::joy_count(), 1);
  pad.axis(0, -32768);
  pad.axis(1, 32767);
  EXPECT_EQ(platform::joy_x(0), -1.0f);
  EXPECT_EQ(platform::joy_y(0), 1.0f);
  // Most of the way over is not full deflection.
  pad.axis(0, -30000);
  const float most = platform::joy_x(0);
  EXPECT_GT(most, -1.0f);
  EXPECT_LT(most, -0.9f);
  pad.axis(0, 0);
  EXPECT_NEAR(platform::joy_x(0), 0.0f, 1e-4);
}

TEST_F(Joysticks, HatCountsAsTheAxes) {
  VirtualPad pad(SDL_JOYSTICK_TYPE_UNKNOWN, 0, 2, 1);
  pad.hat(SDL_HAT_LEFTUP);
  EXPECT_EQ(platform::joy_x(0), -1.0f);
  EXPECT_EQ(platform::joy_y(0), -1.0f);
  pad.hat(SDL_HAT_RIGHT);
  EXPECT_EQ(platform::joy_x(0), 1.0f);
  EXPECT_EQ(platform::joy_y(0), 0.0f);
}

TEST_F(Joysticks, JoyHitCountsPressesAndJoyDownFollowsTheButton) {
  VirtualPad pad(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 0);
  pad.press(1);
  pad.press(1);
  pad.button(1, true);
  EXPECT_EQ(platform::joy_down(1, 0), 1);
  EXPECT_EQ(platform::joy_hit(1, 0), 3);
  EXPECT_EQ(platform::joy_hit(1, 0), 0);
  pad.button(1, false);
  EXPECT_EQ(platform::joy_down(1, 0), 0);
  EXPECT_EQ(platform::joy_hit(0, 0), 0);
  // Out of range buttons and absent ports read 0.
  EXPECT_EQ(platform::joy_hit(17, 0), 0);
  EXPECT_EQ(platform::joy_down(-1, 0), 0);
  EXPECT_EQ(platform::joy_hit(0, 1), 0);
  EXPECT_EQ(platform::joy_x(1), 0.0f);
  EXPECT_EQ(platform::joy_y(-1), 0.0f);
}

TEST_F(Joysticks, ControllerFaceButtonsComeFirstAndDpadDrivesAxes) {
  VirtualPad pad(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 15, 0);
  ASSERT_EQ(platform::joy_count(), 1);
  // SDL's virtual controller lays its buttons out as a, b, x, y, back,
  // guide, start, left stick, right stick, left and right shoulder, then
  // the D-pad up, down, left, right.
  pad.press(0);  // south
  pad.press(2);  // west
  pad.press(9);  // left shoulder
  pad.press(4);  // back
  EXPECT_EQ(platform::joy_hit(0, 0), 1);
  EXPECT_EQ(platform::joy_hit(2, 0), 1);
  EXPECT_EQ(platform::joy_hit(4, 0), 1);
  EXPECT_EQ(platform::joy_hit(6, 0), 1);
  EXPECT_EQ(platform::joy_hit(1, 0), 0);
  // The D-pad wins over a centred stick.
  pad.axis(0, 0);
  pad.button(13, true);  // left
  EXPECT_EQ(platform::joy_x(0), -1.0f);
  pad.button(13, false);
  pad.button(12, true);  // down
  EXPECT_EQ(platform::joy_y(0), 1.0f);
  pad.button(12, false);
  pad.axis(0, 32767);
  EXPECT_EQ(platform::joy_x(0), 1.0f);
}

TEST_F(Joysticks, RemovedWhileInUsePortsMoveDown) {
  auto first = std::make_unique<VirtualPad>(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 0);
  VirtualPad second(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 0);
  ASSERT_EQ(platform::joy_count(), 2);
  second.axis(0, 32767);
  second.button(3, true);
  first->axis(0, -32768);
  EXPECT_EQ(platform::joy_x(0), -1.0f);
  EXPECT_EQ(platform::joy_x(1), 1.0f);
  EXPECT_EQ(platform::joy_down(3, 1), 1);

  first.reset();
  EXPECT_EQ(platform::joy_count(), 1);
  EXPECT_EQ(platform::joy_x(0), 1.0f);
  EXPECT_EQ(platform::joy_down(3, 0), 1);
  EXPECT_EQ(platform::joy_hit(3, 0), 1);
  EXPECT_EQ(platform::joy_x(1), 0.0f);
  EXPECT_EQ(platform::joy_down(3, 1), 0);

  second.detach();
  EXPECT_EQ(platform::joy_count(), 0);
  EXPECT_EQ(platform::joy_x(0), 0.0f);
}

}  // namespace
