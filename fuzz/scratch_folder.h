// A private working folder for fuzz targets that drive the game's own file
// loading: made with mkdtemp, entered once, removed when the fuzzer exits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzzing {

// Enters the scratch folder on first use; later calls do nothing.
void enter_scratch_folder();

// Replaces the file at `rel` (relative to the scratch folder, parents made)
// with exactly these bytes.
void put_file(const std::string& rel, const std::uint8_t* data,
              std::size_t size);

// The 32-bit little-endian int at `offset`, bytes past `size` read as 0: the
// same rule the game's int streams follow.
int le32_at(const std::uint8_t* data, std::size_t size, std::size_t offset);

}  // namespace fuzzing
