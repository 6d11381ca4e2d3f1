// Far 3's wide strings (UTF-16 in wchar_t) to the core's UTF-8 and back, through the
// lossless bridge of utf16_text.
#pragma once

#include <cstring>
#include <string>
#include <string_view>

#include "flavour/far3/utf16_text.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Far 3's wide text is UTF-16");

inline std::string Utf8Of(const wchar_t* text, std::size_t length) {
  if (!text) return {};
  std::u16string units(length, u'\0');
  std::memcpy(units.data(), text, length * sizeof(wchar_t));
  return EncodeUtf16(units);
}

inline std::string Utf8Of(const wchar_t* text) {
  return text ? Utf8Of(text, std::wcslen(text)) : std::string();
}

inline std::wstring WideOf(std::string_view utf8) {
  const std::u16string units = DecodeToUtf16(utf8);
  std::wstring out(units.size(), L'\0');
  std::memcpy(out.data(), units.data(), units.size() * sizeof(wchar_t));
  return out;
}

inline std::wstring WideOf(const char* utf8) { return utf8 ? WideOf(std::string_view(utf8)) : std::wstring(); }
