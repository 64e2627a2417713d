#include "app/option_table.h"

#include <array>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>

#include "online/protocol/invite_code.h"

namespace {

using Action = CommandLine::Action;

// A whole decimal number within [low, high], nothing else around it.
std::optional<int> parse_int(const std::string& text, long low, long high) {
  // strtol would skip leading blanks and take a plus sign.
  if (text.empty() ||
      !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '-')) {
    return std::nullopt;
  }
  errno = 0;
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || value < low || value > high) {
    return std::nullopt;
  }
  return static_cast<int>(value);
}

std::string bad_value(const std::string& value, const char* option,
                      const char* wanted) {
  return "bad value '" + value + "' for " + option + ": " + wanted;
}

const std::array<OptionRow, 19> rows = {{
    {"--window", nullptr, nullptr,
     "show the game in a window instead of full screen",
     [](CommandLine& cl, const std::string&,
        const std::string&) -> std::string {
       cl.run.window = true;
       return "";
     }},
    {"--scale", nullptr, "N",
     "whole zoom factor of the window, 1 to 16 (default: the largest that "
     "fits)",
     [](CommandLine& cl, const std::string& value,
        const std::string&) -> std::string {
       const std::optional<int> scale = parse_int(value, 1, 16);
       if (!scale)
         return bad_value(value, "--scale", "a whole number from 1 to 16");
       cl.run.scale = *scale;
       return "";
     }},
    {"--seed", nullptr, "N",
     "seed the random generator with N (a 32-bit whole number) instead of the "
     "clock",
     [](CommandLine& cl, const std::string& value,
        const std::string&) -> std::string {
       cl.seed = parse_int(value, INT_MIN, INT_MAX);
       if (!cl.seed)
         return bad_value(value, "--seed", "a whole number (32-bit)");
       return "";
     }},
    {"--fast", nullptr, nullptr, "do not hold 60 frames per second",
     [](CommandLine& cl, const std::string&,
        const std::string&) -> std::string {
       cl.run.fast = true;
       return "";
     }},
    {"--script", nullptr, "FILE",
     "drive the game from an input script instead of the keyboard, mouse and "
     "joysticks",
     [](CommandLine& cl, const std::string& value,
        const std::string&) -> std::string {
       if (value.empty()) return "option --script needs a file name";
       cl.script = value;
       return "";
     }},
    {"--record", nullptr, "FILE",
     "write every input of the game to FILE, a replay that --script FILE "
     "plays again",
     [](CommandLine& cl, const std::string& value,
        const std::string&) -> std::string {
       if (value.empty()) return "option --record needs a file name";
       cl.record = value;
       return "";
     }},
    {"--timedemo", nullptr, "FILE",
     "play the replay FILE unpaced and print frame times",
     [](CommandLine& cl, const std::string& value,
        const std::string&) -> std::string {
       if (value.empty()) return "option --timedemo needs a file name";
       cl.timedemo = value;
       return "";
     }},
    {"--repeat", nullptr, "N",
     "with --timedemo: play the replay N times in one run, 1 to 1000, and "
     "print the spread",
     [](CommandLine& cl, const std::string& value,
        const std::string&) -> std::string {
       const std::optional<int> n = parse_int(value, 1, 1000);
       if (!n)
         return bad_value(value, "--repeat", "a whole number from 1 to 1000");
       cl.repeat = *n;
       return "";
     }},
    {"--synctest", nullptr, "N",
     "with --script: after every frame roll back N frames, 1 to 8, and play "
     "them again muted; a state that differs from the first run's stops the "
     "game with status 3",
     [](CommandLine& cl, const std::string& value,
        const std::string&) -> std::string {
       const std::optional<int> n = parse_int(value, 1, 8);
       if (!n)
         return bad_value(value, "--synctest", "a whole number from 1 to 8");
       cl.synctest = *n;
       return "";
     }},
    {"--host", nullptr, "[PORT]",
     "host an online versus game: without PORT, in a room of the server "
     "(see --server), whose invite code the guest joins by; with PORT, wait "
     "for a guest on that UDP port (the guest joins by this machine's "
     "address); a machine without a joystick makes one of its keyboard "
     "(arrow keys or W A S D move, Z fires, X takes a life from the "
     "partner, P pauses)",
     [](CommandLine& cl, const std::string& value,
        const std::string&) -> std::string {
       cl.online = CommandLine::Online::host_room;
       if (value.empty()) return "";
       const std::optional<int> port = parse_int(value, 1, 65535);
       if (!port)
         return bad_value(value, "--host", "a port number from 1 to 65535");
       cl.online = CommandLine::Online::host;
       cl.host_port = *port;
       return "";
     }},
    {"--join", nullptr, "CODE|HOST[:PORT]",
     "join an online game by its invite code (ABCD-EFGH, as the host was "
     "given it), or the game hosted at HOST (a name, an IPv4 address or an "
     "IPv6 address in brackets; port 4761 unless given): your joystick is "
     "the game's second",
     [](CommandLine& cl, const std::string& value,
        const std::string&) -> std::string {
       if (value.empty())
         return "option --join needs an invite code or the host's address";
       const std::optional<std::string> code = online::parse_code(value);
       cl.online =
           code ? CommandLine::Online::join_room : CommandLine::Online::join;
       cl.join = code ? *code : value;
       return "";
     }},
    {"--watch", nullptr, "CODE",
     "watch the online game of the room with invite code CODE from its "
     "start, a few ticks behind the players",
     [](CommandLine& cl, const std::string& value,
        const std::string&) -> std::string {
       const std::optional<std::string> code = online::parse_code(value);
       if (!code)
         return bad_value(value, "--watch",
                          "an invite code of eight letters and digits, "
                          "such as ABCD-EFGH");
       cl.online = CommandLine::Online::watch;
       cl.join = *code;
       return "";
     }},
    {"--server", nullptr, "HOST[:PORT]",
     "the room server of --host, --join CODE and --watch (default: "
     "online.cfg's server, else play.vermix.org; port 4762 unless given)",
     [](CommandLine& cl, const std::string& value,
        const std::string&) -> std::string {
       if (value.empty()) return "option --server needs the server's address";
       cl.server = value;
       return "";
     }},
    {"--input-delay", nullptr, "N",
     "with --host: the ticks, 0 to 8 (default 2), between a player's input "
     "and its effect in an online game; fewer mean more corrections",
     [](CommandLine& cl, const std::string& value,
        const std::string&) -> std::string {
       const std::optional<int> n = parse_int(value, 0, 8);
       if (!n)
         return bad_value(value, "--input-delay", "a whole number from 0 to 8");
       cl.input_delay = *n;
       return "";
     }},
    {"--dump-every", nullptr, "N FILE",
     "append the game's state to FILE every N ticks and at the end",
     [](CommandLine& cl, const std::string& value,
        const std::string& file) -> std::string {
       const std::optional<int> n = parse_int(value, 1, INT_MAX);
       if (!n || file.empty())
         return "option --dump-every needs a tick count and a file";
       cl.dump_every = *n;
       cl.dump_file = file;
       return "";
     }},
    {"--data-dir", nullptr, "DIR",
     "read the sounds from DIR and keep the high score and the 3D settings "
     "there",
     [](CommandLine& cl, const std::string& value,
        const std::string&) -> std::string {
       if (value.empty()) return "option --data-dir needs a folder name";
       cl.data_dir = value;
       return "";
     }},
    {"--where", nullptr, nullptr,
     "show the folders of the sounds and of the saved files, and exit",
     [](CommandLine& cl, const std::string&,
        const std::string&) -> std::string {
       cl.action = Action::where;
       return "";
     }},
    {"--help", "-h", nullptr, "show this text and exit",
     [](CommandLine& cl, const std::string&,
        const std::string&) -> std::string {
       cl.action = Action::help;
       return "";
     }},
    {"--version", nullptr, nullptr, "show the version and exit",
     [](CommandLine& cl, const std::string&,
        const std::string&) -> std::string {
       cl.action = Action::version;
       return "";
     }},
}};

}  // namespace

std::span<const OptionRow> option_table() { return rows; }

const char* const program_summary =
    "A single-screen arcade shooter: shoot apart the crawler chain that winds "
    "down through the mushroom field, fend off the insects and chase a high "
    "score that survives from run to run. Plays full screen by default.";

const char* const files_summary =
    "When the working folder holds a data folder with the game's sound files "
    "(a build folder, an unpacked archive), the game reads its sounds there "
    "and keeps hiscore.dat and anaglyph3d.dat there too. Otherwise it reads "
#ifdef _WIN32
    "its sounds from the data folder beside vermix.exe and keeps the two "
    "files in Vermix in the user's application-data folder (%APPDATA%), "
    "which the installed game always does, "
#else
    "its sounds from the data folder installed with it (share/vermix beside "
    "the bin folder of the executable) and keeps the two files in "
    "$XDG_DATA_HOME/vermix, or ~/.local/share/vermix when XDG_DATA_HOME is "
    "not set, "
#endif
    "making that folder when it first saves. --data-dir DIR puts "
    "both in DIR, with window.dat, which keeps full screen or a window and "
    "the window's size (Alt+Enter or F11 switch; --window and --scale "
    "override it). The files are written when the game ends in order; a save "
    "that fails is named on standard error and the previous file is kept.";

const char* const exit_status_summary =
    "0 when the game ends in order; 1 when the display cannot be opened; 2 "
    "for a bad command line, input script or replay (its line is named); 3 "
    "when a replay diverges, a synctest finds a difference or the two "
    "machines of an online game differ; 4 when a replay that was cut short "
    "has played to its end; 5 when the game ended in order but a file it was "
    "asked to write (--record, --dump-every, a screenshot, a save) could not "
    "be written in full: the failure was named on standard error as it "
    "happened, and what was written before it is kept; 6 when the display "
    "went away under the game (an X server that stopped): the game said so "
    "on standard error, saved its files and ended its recording cut short, "
    "as a killed game's is; 7 when an online game could not start or go on "
    "(no answer, a refusal, the host gone), as its last online: line says; "
    "when the room server refuses a room or a seat: 8 no room has the code, "
    "9 the room has its guest already, 10 the room ended unheard, 11 its "
    "host left, 12 another version, 13 another build, 14 too many requests "
    "from this address, 15 a seat the server does not know.";
