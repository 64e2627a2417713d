// What the platform's rooms share from its floor: host files and the files
// built into the executable, and the tick count. Only platform/ includes this
// header; it needs no system library's headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::detail {

// --- files (files.cpp, embedded.cpp, stale_temps.cpp) -----------------------
// Maps a game path (backslashes, any case of folder names) to a host path.
std::string host_path(const std::string& game_path);
// Paths that name a file built into the executable start with this.
constexpr std::string_view embedded_prefix = "incbin::";
// Whole contents of a regular host file (after links) or of an "incbin::"
// name. Anything else (a folder, a pipe, a device) and files longer than
// max_read_bytes read as missing.
bool read_bytes(const std::string& path, std::vector<std::uint8_t>& out);
constexpr std::size_t max_read_bytes = std::size_t{64} << 20;
// The name a save of `host` is written under before it replaces it.
std::string temporary_path(const std::string& host, long pid);
// Removes what saves of `host` by processes no longer running left behind.
void remove_stale_temporaries(const std::string& host);
// Unlinks a host file (UTF-8 on every system).
bool remove_host_file(const std::string& host);
#ifdef _WIN32
// UTF-8 <-> the UTF-16 of Windows' own calls.
std::wstring wide(const std::string& utf8);
std::string narrow(const std::wstring& utf16);
#endif
// The bytes registered under an "incbin::" path, if any.
bool read_embedded(const std::string& path, std::vector<std::uint8_t>& out);

// --- stop signals (stop_signals.cpp) -----------------------------------------
// Catches SIGINT and SIGTERM from now on, in place of SDL's own handlers.
void catch_stop_signals();
// Whether one was caught.
bool stop_signal_caught();

// --- the end (program_end.cpp) ----------------------------------------------
// The orderly end has begun to close (end_program, exit_program): false when
// an end without the display has already begun, and the caller must then
// only wait for it (wait_for_the_end).
bool begin_closing();
// The orderly end knows its status and goes on to close the display.
void closing_status(int status);
[[noreturn]] void wait_for_the_end();
// The display is gone, or left behind by an end without it: nothing may
// call SDL's video or GL from now on.
bool display_lost();
// Ends the process at once without touching the display: the replay cut
// hook, the file saves, the display-lost line on stderr, status 6. Called
// where the display's connection broke; safe on any thread; never returns.
[[noreturn]] void end_for_lost_display();
// A stop signal was caught a second ago and the program has not ended: the
// same saves without the line, and the status the orderly end would give.
[[noreturn]] void end_when_stuck();

// --- ticks (run_options.cpp) -------------------------------------------------
// A tick has passed: a frame was presented or a waiting loop went round.
void advance_tick();
// The tick count as a rollback puts it back.
void set_tick(long tick);

}  // namespace platform::detail
