// The option --encoding (-E) of the search and the replace: how files without a byte order
// mark are read, kept with the other settings of the file search.
#pragma once

#include <optional>
#include <string>

namespace program {

// For the option just read: the list of code pages, checked. False with a reason (which
// names every name the list may hold) when a name is unknown.
bool CheckEncodingList(const std::string& list, std::string* error);
// Stores the list as the file search's setting, before the modules load and read it.
// False with a reason when the settings cannot be written.
bool StoreEncodingList(const std::optional<std::string>& list, std::string* error);

}  // namespace program
