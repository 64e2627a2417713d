#include "app/command_line.h"

#include <algorithm>
#include <cstring>

#include "app/invite_link.h"
#include "app/option_table.h"

namespace {

const OptionRow* find_option(const std::string& arg) {
  for (const OptionRow& row : option_table()) {
    if (arg == row.name || (row.alias && arg == row.alias)) return &row;
  }
  return nullptr;
}

bool optional_value(const OptionRow& row) {
  return row.value && row.value[0] == '[';
}

// The arguments that follow the option: one per word of its value.
std::size_t value_count(const OptionRow& row) {
  if (!row.value || optional_value(row)) return 0;
  return 1 + static_cast<std::size_t>(std::count(
                 row.value, row.value + std::strlen(row.value), ' '));
}

// `text` broken into lines of at most `width` characters, each but the
// first indented by `indent` spaces.
std::string wrap(const std::string& text, std::size_t indent,
                 std::size_t width) {
  std::string out;
  std::size_t column = indent;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(start, end - start);
    if (column > indent && column + 1 + word.size() > width) {
      out += "\n" + std::string(indent, ' ');
      column = indent;
    } else if (column > indent) {
      out += ' ';
      ++column;
    }
    out += word;
    column += word.size();
    start = end + 1;
  }
  return out;
}

}  // namespace

CommandLine parse_command_line(const std::vector<std::string>& args) {
  CommandLine cl;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const OptionRow* row = find_option(arg);
    std::string error;
    if (looks_like_invite_link(arg)) {
      // A link stands for the option it names with its code.
      const std::optional<InviteLink> link = parse_invite_link(arg);
      const OptionRow* option = link ? find_option(link->option) : nullptr;
      if (!link) {
        error = "'" + arg +
                "' is not an invite link: vermix://join/CODE or "
                "vermix://watch/CODE, with a code such as ABCD-EFGH";
      } else if (!option) {
        error = "unknown option '" + std::string(link->option) + "'";
      } else {
        error = option->apply(cl, link->code, "");
      }
    } else if (!row) {
      error = "unknown option '" + arg + "'";
    } else if (optional_value(*row)) {
      // The value may be left out: the next word is it unless an option.
      const bool given = i + 1 < args.size() && !args[i + 1].starts_with("-");
      error = row->apply(cl, given ? args[i + 1] : std::string(), "");
      i += given ? 1 : 0;
    } else if (i + value_count(*row) >= args.size()) {
      error = "option " + arg + " needs a value";
    } else {
      const std::size_t n = value_count(*row);
      error = row->apply(cl, n > 0 ? args[i + 1] : std::string(),
                         n > 1 ? args[i + 2] : std::string());
      i += n;
    }
    if (!error.empty()) {
      cl.action = CommandLine::Action::refuse;
      cl.error = error;
      return cl;
    }
    if (cl.action == CommandLine::Action::help ||
        cl.action == CommandLine::Action::version) {
      return cl;
    }
  }
  if (!cl.timedemo.empty() && !cl.script.empty()) {
    cl.action = CommandLine::Action::refuse;
    cl.error = "--timedemo plays its own replay: leave out --script";
  } else if (cl.repeat > 1 && cl.timedemo.empty()) {
    cl.action = CommandLine::Action::refuse;
    cl.error = "--repeat repeats a timedemo: add --timedemo FILE";
  } else if (cl.repeat > 1 && !cl.record.empty()) {
    cl.action = CommandLine::Action::refuse;
    cl.error = "--repeat plays a replay again and again: leave out --record";
  } else if (cl.online != CommandLine::Online::off &&
             (!cl.timedemo.empty() || cl.synctest > 0)) {
    cl.action = CommandLine::Action::refuse;
    cl.error =
        "an online game is played live: leave out --timedemo and "
        "--synctest";
  }
  return cl;
}

std::string usage_text() {
  constexpr std::size_t width = 78;
  constexpr std::size_t help_column = 20;
  std::string text = "Usage: vermix [options]\n\n" +
                     wrap(program_summary, 0, width) + "\n\nOptions:\n";
  for (const OptionRow& row : option_table()) {
    std::string left = std::string("  ") + row.name;
    if (row.alias) left += std::string(", ") + row.alias;
    if (row.value) left += std::string(" ") + row.value;
    left.resize(std::max(left.size() + 1, help_column), ' ');
    text += left + wrap(row.help, help_column, width) + "\n";
  }
  text += "\nFiles:\n  " + wrap(files_summary, 2, width) + "\n";
  text += "\nExit status:\n  " + wrap(exit_status_summary, 2, width) + "\n";
  return text;
}

std::string version_line() {
  return std::string("vermix ") + VERMIX_VERSION + "\n";
}
