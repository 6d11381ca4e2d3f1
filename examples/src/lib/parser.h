#pragma once

#include <string>
#include <vector>

// Splits a line at commas; blanks around the parts are kept.
std::vector<std::string> SplitFields(const std::string& line);
