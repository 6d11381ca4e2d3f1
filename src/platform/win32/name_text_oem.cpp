// The OEM name text: the system's OEM code page, as the hosts of the 1.x API speak it.
// Only what the code page spells exactly passes; no best fit ("e" for "é") is taken.
#include <string>

#include "platform/win32/names.h"
#include "platform/win32/windows_api.h"

namespace platform {

bool DecodeNameText(const char* text, std::size_t length, std::wstring* wide) {
  wide->clear();
  if (length == 0) return true;
  if (length > 0x7FFFFFFF) return false;
  const int size = static_cast<int>(length);
  const int needed = MultiByteToWideChar(CP_OEMCP, MB_ERR_INVALID_CHARS, text, size, nullptr, 0);
  if (needed <= 0) return false;
  wide->resize(static_cast<std::size_t>(needed));
  return MultiByteToWideChar(CP_OEMCP, MB_ERR_INVALID_CHARS, text, size, wide->data(), needed) ==
         needed;
}

bool EncodeNameText(const wchar_t* wide, std::size_t length, std::string* text) {
  text->clear();
  if (length == 0) return true;
  if (length > 0x7FFFFFFF) return false;
  const int size = static_cast<int>(length);
  BOOL usedDefault = FALSE;
  const int needed = WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, wide, size, nullptr, 0,
                                         nullptr, &usedDefault);
  if (needed <= 0 || usedDefault) return false;
  text->resize(static_cast<std::size_t>(needed));
  if (WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, wide, size, text->data(), needed, nullptr,
                          &usedDefault) != needed ||
      usedDefault)
    return false;
  // The way back must give the same UTF-16: some code pages map several characters to one
  // byte without calling it a default.
  std::wstring back;
  return DecodeNameText(text->data(), text->size(), &back) &&
         back == std::wstring_view(wide, length);
}

}  // namespace platform
