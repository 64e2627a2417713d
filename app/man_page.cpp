#include "app/man_page.h"

#include "app/option_table.h"

namespace {

// Plain text as roff: backslashes and hyphens escaped, no line that starts
// with a control character.
std::string roff(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-') {
      out += "\\-";
    } else {
      out += c;
    }
  }
  if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
  return out;
}

const char* const controls =
    ".TP\n"
    "Mouse\n"
    "Moves the ship; the left button fires and picks menu lines.\n"
    ".TP\n"
    "Keyboard\n"
    "Left Control fires. Space pauses and goes on. Escape pauses a game, "
    "leaves a paused game for the title, and quits from the title. "
    "Alt+Enter or F11 switch between full screen and a window at any time.\n"
    ".TP\n"
    "Gamepad\n"
    "Joystick 0 moves the ship and button 0 fires; button 2 of either "
    "joystick pauses.\n"
    ".TP\n"
    "Versus\n"
    "With two joysticks the menu offers Versus: each player steers with a "
    "stick and fires with button 0; a player who is out takes a life from the "
    "partner with button 1.\n";

}  // namespace

std::string man_page() {
  std::string page = ".TH VERMIX 6 \"\" \"vermix " VERMIX_VERSION
                     "\" \"Games\"\n"
                     ".SH NAME\n"
                     "vermix \\- single\\-screen arcade shooter\n"
                     ".SH SYNOPSIS\n"
                     ".B vermix\n"
                     "[\\fIoptions\\fR]\n"
                     ".SH DESCRIPTION\n" +
                     roff(program_summary) + "\n.SH OPTIONS\n";
  for (const OptionRow& row : option_table()) {
    page += ".TP\n\\fB" + roff(row.name) + "\\fR";
    if (row.alias) page += ", \\fB" + roff(row.alias) + "\\fR";
    if (row.value) page += " \\fI" + roff(row.value) + "\\fR";
    page += "\n" + roff(row.help) + "\n";
  }
  page += ".SH CONTROLS\n";
  page += controls;
  page += ".SH FILES\n" + roff(files_summary) + "\n";
  page +=
      ".SH ENVIRONMENT\n"
      ".TP\n"
      ".B XDG_DATA_HOME\n"
      "Holds the folder vermix for the saved files when the game runs "
      "installed.\n"
      ".TP\n"
      ".B HOME\n"
      "Used for \\fI~/.local/share/vermix\\fR when XDG_DATA_HOME is not set.\n"
      ".SH EXIT STATUS\n" +
      roff(exit_status_summary) + "\n";
  return page;
}
