#include "common/messages.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/host_binding.h"

const char* MessageText(int n) {
  const char* text = Info.GetMsg ? Info.GetMsg(Info.ModuleNumber, n) : nullptr;
  return text ? text : "";
}

namespace {

// One number as printf shows it with these flags and this width.
std::string FormatNumber(long long value, std::size_t width, bool left, bool zeros, bool plus,
                         bool blank) {
  std::string digits = std::to_string(value < 0 ? -(value + 1) + 1ULL : value + 0ULL);
  std::string sign = value < 0 ? "-" : plus ? "+" : blank ? " " : "";
  std::size_t length = sign.size() + digits.size();
  if (length >= width) return sign + digits;
  std::string pad(width - length, zeros && !left ? '0' : ' ');
  if (left) return sign + digits + pad;
  return zeros ? sign + pad + digits : pad + sign + digits;
}

}  // namespace

std::string FormatMessageNumber(const char* text, long long value, std::size_t limit) {
  std::string out;
  bool substituted = false;
  for (const char* p = text; *p; ++p) {
    if (*p != '%') {
      out += *p;
      continue;
    }
    if (p[1] == '%') {
      out += '%';
      ++p;
      continue;
    }
    const char* q = p + 1;
    bool left = false, zeros = false, plus = false, blank = false;
    for (; *q && std::strchr("-+ #0", *q); ++q) {
      left |= *q == '-';
      zeros |= *q == '0';
      plus |= *q == '+';
      blank |= *q == ' ';
    }
    std::size_t width = 0;
    for (; *q >= '0' && *q <= '9'; ++q)
      if (width <= limit) width = width * 10 + static_cast<std::size_t>(*q - '0');
    if (!substituted && (*q == 'd' || *q == 'i' || *q == 'u')) {
      out += FormatNumber(value, std::min(width, limit), left, zeros, plus, blank);
      substituted = true;
      p = q;
      continue;
    }
    out += '%';  // any other conversion is shown as written
  }
  if (out.size() > limit) out.resize(limit);
  return out;
}

void ExpandDialogItems(const DialogItemSpec* descs, FarDialogItem* items, int count) {
  for (int i = 0; i < count; ++i) {
    const DialogItemSpec& desc = descs[i];
    FarDialogItem& item = items[i];
    item.Type = desc.Type;
    item.X1 = desc.X1;
    item.Y1 = desc.Y1;
    item.X2 = desc.X2;
    item.Y2 = desc.Y2;
    item.Focus = desc.Focus;
    item.Selected = static_cast<std::intptr_t>(desc.Selected);
    item.Flags = desc.Flags;
    item.DefaultButton = desc.DefaultButton;
    const char* text = "";
    if (desc.Data == 0)
      text = "";
    else if (desc.Data < kFirstTextAddress)
      text = MessageText(static_cast<int>(desc.Data));
    else
      text = reinterpret_cast<const char*>(static_cast<std::uintptr_t>(desc.Data));
    // A text longer than the item holds is cut, never overflowed.
    std::size_t length = strnlen(text, sizeof(item.Data) - 1);
    std::memcpy(item.Data, text, length);
    item.Data[length] = '\0';
  }
}

std::string DialogItemText(const FarDialogItem& item) {
  return std::string(item.Data, strnlen(item.Data, sizeof(item.Data)));
}

int ShowWarning(const char* helpTopic, const char* const* lines, int lineCount) {
  std::vector<const char*> all(lines, lines + lineCount);
  all.push_back(MessageText(0));
  return Info.Message(Info.ModuleNumber, FMSG_WARNING, helpTopic, all.data(),
                      static_cast<int>(all.size()), 1);
}
