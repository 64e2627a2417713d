// The game's sound files by name, without ".ogg": the twelve effects in the
// order they load, then the music. The one list of them: the build reads it
// for the files the sound generator must make (CMakeLists.txt), the
// generator makes one of each, and the game loads them.
#pragma once

#include <array>
#include <string_view>

inline constexpr std::array<std::string_view, 12> effect_names = {
    "flea",    "p1shot", "p2shot", "bonus",    "shroom", "thump",
    "explode", "spider", "x1life", "scorpion", "stage",  "mosquito",
};
inline constexpr std::string_view music_name = "zorbem";
