// The text form of one settings key on disk, in the style of a Windows .reg export.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::posix {

struct RegistryValue {
  std::string name;
  std::uint32_t type = 0;
  std::string data;  // the exact bytes
};

// Value names compare as in the Windows registry: ASCII letters without regard to case.
bool EqualValueNames(std::string_view a, std::string_view b);

// Reads the text of a key file into values, in file order. False when any line is
// malformed; values is then left empty.
bool ParseRegistryFile(std::string_view text, std::vector<RegistryValue>* values);

// The text of a key file for the key path ("Software\Far\...") and its values.
std::string FormatRegistryFile(std::string_view keyPath, const std::vector<RegistryValue>& values);

}  // namespace platform::posix
