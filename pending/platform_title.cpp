// Placeholder definitions until the real module lands. Delete this file
// when the module that provides these is written.
#include "platform/platform.h"

namespace platform {

void set_app_title(const std::string&) {  }

}  // namespace platform
