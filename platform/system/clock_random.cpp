// The millisecond clock, the random generator and small arithmetic helpers.
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <thread>

#include "platform/automation.h"
#include "platform/platform.h"
#include "platform/system/web_host.h"

namespace platform {
namespace {

std::int32_t rnd_state = 0x1234;

// One step of the multiplier-48271 generator modulo 2^31 - 1, by Schrage's
// method so that nothing overflows 32 bits.
std::int32_t next_state() {
  std::int32_t s = 48271 * (rnd_state % 44488) - 3399 * (rnd_state / 44488);
  if (s < 0) s += 2147483647;
  rnd_state = s;
  return s;
}

// Uniform in [0, 1) from two steps: 27 high bits and 26 low bits.
double unit() {
  const double hi = next_state() & 0x1FFFFFFC;
  const double lo = next_state() & 0x1FFFFFF8;
  return (lo / 134217728.0 + hi) / 536870912.0;
}

}  // namespace

namespace detail {
int random_state() { return rnd_state; }
void restore_random_state(int state) { rnd_state = state; }
}  // namespace detail

int millisecs() {
  using namespace std::chrono;
  static const auto start = steady_clock::now();
  const auto ms = duration_cast<milliseconds>(steady_clock::now() - start);
  // Wraps like a 32-bit counter (modular since C++20).
  return static_cast<int>(static_cast<std::uint32_t>(ms.count()));
}

void delay(int ms) {
  if (ms < 0) return;
#ifdef __EMSCRIPTEN__
  if (ms > 0) detail::web_sleep(ms);  // a blocking sleep would stall the page
#else
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
#endif
}

void seed_rnd(int seed) {
  rnd_state = seed & 0x7FFFFFFF;
  if (rnd_state == 0 || rnd_state == 0x7FFFFFFF) rnd_state = 0x1234;
}

double rnd(double a, double b) {
  const double lo = std::fmin(a, b);
  const double hi = std::fmax(a, b);
  return lo + (hi - lo) * unit();
}

int float_to_int(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return INT_MAX;
  if (value <= -2147483648.0) return INT_MIN;
  return static_cast<int>(value);
}

std::string int_to_string(int value) { return std::to_string(value); }

std::string concat_strings(const std::string& a, const std::string& b) {
  return a + b;
}

}  // namespace platform
