#include "app/suspension.h"

#include "platform/platform.h"

bool hold_while_suspended() {
  while (platform::app_suspended()) {
    if (platform::app_terminate()) return false;
    platform::wait_pass();
  }
  return true;
}
