#include "filesearch/temporary_names.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr char kNewMark[] = ".qxnew-";

// Digits of the given base at [at, end): no sign, no leading zero but a lone "0", at most
// maxDigits; their value in *value.
bool ReadNumber(const char* at, const char* end, int base, std::size_t maxDigits,
                std::uint64_t* value) {
  const std::size_t count = static_cast<std::size_t>(end - at);
  if (count == 0 || count > maxDigits || (count > 1 && *at == '0')) return false;
  *value = 0;
  for (; at < end; ++at) {
    int digit;
    if (*at >= '0' && *at <= '9')
      digit = *at - '0';
    else if (base == 16 && *at >= 'a' && *at <= 'f')
      digit = *at - 'a' + 10;
    else
      return false;
    *value = *value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
  }
  return true;
}

}  // namespace

std::string MakeTemporaryName(const std::string& target, const char* mark,
                              std::uint64_t serial, unsigned attempt) {
  char suffix[48];
  std::snprintf(suffix, sizeof suffix, ".%s-%llx-%u", mark,
                static_cast<unsigned long long>(serial & 0xffffffffffULL), attempt);
  return target + suffix;
}

bool IsNewVersionName(const char* name, std::size_t* targetLength) {
  const std::size_t markLength = sizeof kNewMark - 1;
  // The last mark: a user's file may hold the mark itself in its name.
  const char* mark = nullptr;
  for (const char* at = std::strstr(name, kNewMark); at; at = std::strstr(at + 1, kNewMark))
    mark = at;
  if (!mark || mark == name) return false;
  const char* serial = mark + markLength;
  const char* dash = std::strchr(serial, '-');
  if (!dash) return false;
  const char* end = dash + 1 + std::strlen(dash + 1);
  std::uint64_t value = 0, attempt = 0;
  // 40 bits are 10 hexadecimal digits.
  if (!ReadNumber(serial, dash, 16, 10, &value) || !ReadNumber(dash + 1, end, 10, 2, &attempt) ||
      attempt >= kTemporaryAttempts)
    return false;
  if (targetLength) *targetLength = static_cast<std::size_t>(mark - name);
  return true;
}
