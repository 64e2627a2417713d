// Committed reference pictures of the screen. A frame must match its
// reference pixel for pixel, or within VERMIX_REFERENCE_TOLERANCE in each
// channel when that is set (such pixels are counted and printed); with
// VERMIX_UPDATE_REFERENCES=1 in the environment the frame is written as the
// new reference instead (tools/review/update-screen-references.sh).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// Compares (or, when updating, stores) the RGB of a width x height RGBA frame
// against tests/references/screens/NAME.png. Alpha is ignored.
void expect_reference_frame(const std::string& name, int width, int height,
                            const std::vector<std::uint8_t>& rgba);

}  // namespace testing_support
