// The names the quarix program gives the modes of the search and of the replace, from the
// plugin's table of modes, in the order the plugin numbers them.
#pragma once

#include <array>

#include "filesearch/search_modes.h"

inline constexpr auto kSearchModeNames = [] {
  std::array<const char*, kSearchModeCount> names{};
  for (int i = 0; i < kSearchModeCount; ++i) names[i] = kSearchModes[i].name;
  return names;
}();

inline constexpr auto kReplaceModeNames = [] {
  std::array<const char*, kReplaceModeCount> names{};
  for (int i = 0; i < kReplaceModeCount; ++i) names[i] = kSearchModes[i].replaceName;
  return names;
}();
