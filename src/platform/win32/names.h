// Paths and names between the backend's name text and the UTF-16 of the W functions.
// The name text is chosen when the platform library is built (QUARIX_WIN32_NAME_TEXT):
// OEM bytes for the DLLs of the 1.x API, UTF-8 for a core that speaks UTF-8.
#pragma once

#include <string>

namespace platform {

// A path of the name text as the W functions take it. A long absolute path gets the
// "\\?\" form ("\\?\UNC\" for a network path) so that nothing cuts it at 260 characters.
// False when the text is not valid in the name text (an error, never a wrong name).
bool ConvertPathToWide(const char* path, std::wstring* wide);

// A name or path the system gave, in the name text. False when the name text cannot spell
// it exactly: a look-alike would open another file or none.
bool ConvertNameFromWide(const wchar_t* name, std::size_t length, std::string* text);

// A text for the user (a system message): what cannot be spelt becomes "?".
std::string ConvertMessageFromWide(const wchar_t* text, std::size_t length);

}  // namespace platform

namespace platform {

// The two directions of the name text itself, without any handling of paths: one of
// name_text_oem.cpp and name_text_utf8.cpp is built into the library.
bool DecodeNameText(const char* text, std::size_t length, std::wstring* wide);
bool EncodeNameText(const wchar_t* wide, std::size_t length, std::string* text);

}  // namespace platform
