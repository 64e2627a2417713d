// Placeholder definitions until the real code lands. Delete this file when
// the code that provides these is written.
#include "enemies/insect.h"

int insect_tag::init() { return 0; }
int insect_tag::update_all() { return 0; }
int insect_tag::reset_all() { return 0; }
