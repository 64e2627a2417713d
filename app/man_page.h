// The manual page, section 6, made from the option table.
#pragma once

#include <string>

std::string man_page();
