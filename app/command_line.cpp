#include "app/command_line.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

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

}  // namespace

CommandLine parse_command_line(const std::vector<std::string>& args) {
  CommandLine cl;
  auto refuse = [&cl](const std::string& why) {
    cl.action = CommandLine::Action::refuse;
    cl.error = why;
    return cl;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      cl.action = CommandLine::Action::help;
      return cl;
    }
    if (arg == "--version") {
      cl.action = CommandLine::Action::version;
      return cl;
    }
    if (arg == "--window") {
      cl.run.window = true;
    } else if (arg == "--fast") {
      cl.run.fast = true;
    } else if (arg == "--scale" || arg == "--seed" || arg == "--script") {
      if (i + 1 >= args.size())
        return refuse("option " + arg + " needs a value");
      const std::string& value = args[++i];
      if (arg == "--script") {
        if (value.empty()) return refuse("option --script needs a file name");
        cl.script = value;
      } else if (arg == "--scale") {
        const std::optional<int> scale = parse_int(value, 1, 16);
        if (!scale) {
          return refuse("bad value '" + value +
                        "' for --scale: a whole number from 1 to 16");
        }
        cl.run.scale = *scale;
      } else {
        cl.seed = parse_int(value, INT_MIN, INT_MAX);
        if (!cl.seed) {
          return refuse("bad value '" + value +
                        "' for --seed: a whole number (32-bit)");
        }
      }
    } else if (arg == "--record" || arg == "--timedemo") {
      if (i + 1 >= args.size() || args[i + 1].empty())
        return refuse("option " + arg + " needs a file name");
      (arg == "--record" ? cl.record : cl.timedemo) = args[++i];
    } else if (arg == "--dump-every") {
      const std::optional<int> n = i + 2 < args.size()
                                       ? parse_int(args[i + 1], 1, INT_MAX)
                                       : std::nullopt;
      if (!n || args[i + 2].empty())
        return refuse("option --dump-every needs a tick count and a file");
      cl.dump_every = *n;
      cl.dump_file = args[i + 2];
      i += 2;
    } else {
      return refuse("unknown option '" + arg + "'");
    }
  }
  if (!cl.timedemo.empty() && !cl.script.empty())
    return refuse("--timedemo plays its own replay: leave out --script");
  return cl;
}

std::string usage_text() {
  return "Usage: vermix [options]\n"
         "\n"
         "A single-screen arcade shooter. Plays full screen by default; the\n"
         "sounds and the saved files are in the data folder of the working\n"
         "folder.\n"
         "\n"
         "Options:\n"
         "  --window         show the game in a window instead of full screen\n"
         "  --scale N        whole zoom factor of the window (default: the\n"
         "                   largest that fits)\n"
         "  --seed N         seed the random generator with N instead of the\n"
         "                   clock\n"
         "  --fast           do not hold 60 frames per second\n"
         "  --script FILE    drive the game from an input script instead of\n"
         "                   the keyboard, mouse and joysticks\n"
         "  --record FILE    write every input of the game to FILE, a replay\n"
         "                   that --script FILE plays again\n"
         "  --timedemo FILE  play the replay FILE unpaced and print frame\n"
         "                   times\n"
         "  --dump-every N FILE\n"
         "                   append the game's state to FILE every N ticks\n"
         "                   and at the end\n"
         "  --help           show this text and exit\n"
         "  --version        show the version and exit\n";
}

std::string version_line() {
  return std::string("vermix ") + VERMIX_VERSION + "\n";
}
