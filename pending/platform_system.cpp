// Placeholder definitions until the real module lands. Delete this file
// when the module that provides these is written.
#include <cstdlib>

#include "platform/internal.h"
#include "platform/platform.h"

namespace platform {

void set_run_options(const RunOptions&) {  }
const RunOptions& run_options() { static RunOptions o; return o; }
bool load_input_script(const std::string&, std::string&) { return false; }
bool script_active() { return false; }
long script_tick() { return 0; }
void set_state_dumper(std::function<std::string()>) {  }
void wait_pass() {  }
void move_mouse(int, int) {  }
int app_suspended() { return 0; }
int app_terminate() { return 0; }
[[noreturn]] void end_program() { std::abort(); }
int key_hit(int) { return 0; }
int key_down(int) { return 0; }
void flush_keys() {  }
int mouse_x() { return 0; }
int mouse_y() { return 0; }
int mouse_hit(int) { return 0; }
int mouse_down(int) { return 0; }
void flush_mouse() {  }
int joy_count() { return 0; }
int joy_down(int, int) { return 0; }
int joy_hit(int, int) { return 0; }
float joy_x(int) { return 0; }
float joy_y(int) { return 0; }
int millisecs() { return 0; }
void delay(int) {  }
void seed_rnd(int) {  }
double rnd(double, double) { return 0; }
double sin_deg(double) { return 0; }
double cos_deg(double) { return 0; }
int float_to_int(double) { return 0; }
std::string int_to_string(int) { return {}; }
std::string concat_strings(const std::string&, const std::string&) { return {}; }

}  // namespace platform

namespace platform::detail {
void pump() {}
void advance_tick() {}
long current_tick() { return 0; }
void clear_key_mouse_state() {}
}  // namespace platform::detail
