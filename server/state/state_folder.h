// The server's state folder: the key of the seats' secrets, made on the
// first start (the folder 0700, the file 0600) and read on every later one,
// and the count of the server's starts.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace server::state {

// Unpredictable bytes from the kernel (getrandom).
void secure_random(std::span<std::uint8_t> out);

// The key in `folder`/seat.key, made when missing. Throws
// std::runtime_error naming the file when it cannot be made or read, or
// holds anything but 16 bytes.
std::array<std::uint8_t, 16> seat_key(const std::filesystem::path& folder);

// Counts the starts in `folder`/boots and gives this one's number (0 on
// the first start). Throws std::runtime_error like seat_key.
std::uint32_t next_boot(const std::filesystem::path& folder);

}  // namespace server::state
