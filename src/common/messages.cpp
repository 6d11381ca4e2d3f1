#include "common/messages.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/host_binding.h"
#include "flavour/flavour.h"

const char* MessageText(int n) {
  const char* text = Info.GetMsg ? Info.GetMsg(Info.ModuleNumber, n) : nullptr;
  return text ? text : "";
}

namespace {

// How one conversion of a message text asks for its number.
struct NumberConversion {
  bool left = false, zeros = false, plus = false, blank = false;
  std::size_t width = 0;
  long precision = -1;  // -1: none given
  int length = 0;       // 0 none, 1 h, 2 hh; the wider modifiers change nothing here
  char type = 0;        // 'd', 'i' or 'u'; 0 when the text holds no such conversion
};

// Reads digits into a count that stops growing past cap, so no text can overflow it.
std::size_t ReadCount(const char*& p, std::size_t cap) {
  std::size_t n = 0;
  for (; *p >= '0' && *p <= '9'; ++p)
    if (n <= cap) n = n * 10 + static_cast<std::size_t>(*p - '0');
  return std::min(n, cap);
}

// Parses the conversion after a '%' at p; on success p is left on its conversion letter.
// Width and precision are capped a little beyond the line's limit: the line is cut there
// anyway, and up to the cut it reads as printf's uncapped text would. (No line is longer
// than a million characters, which keeps the count far from overflowing.)
NumberConversion ReadConversion(const char*& p, std::size_t limit) {
  const std::size_t cap = std::min<std::size_t>(limit, 1000000) + 24;
  NumberConversion c;
  const char* q = p + 1;
  for (; *q && std::strchr("-+ #0", *q); ++q) {
    c.left |= *q == '-';
    c.zeros |= *q == '0';
    c.plus |= *q == '+';
    c.blank |= *q == ' ';
  }
  c.width = ReadCount(q, cap);
  if (*q == '.') {
    ++q;
    c.precision = static_cast<long>(ReadCount(q, cap));
  }
  if (q[0] == 'h' && q[1] == 'h') {
    c.length = 2;
    q += 2;
  } else if (q[0] == 'h') {
    c.length = 1;
    ++q;
  } else if (q[0] == 'l' && q[1] == 'l') {
    q += 2;
  } else if (*q && std::strchr("ljzt", *q)) {
    ++q;
  }
  if (*q == 'd' || *q == 'i' || *q == 'u') {
    c.type = *q;
    p = q;
  }
  return c;
}

// The number as printf shows it for this conversion. An h or hh modifier narrows the
// value as printf's argument promotion would; without one the whole value is shown.
std::string FormatNumber(long long value, const NumberConversion& c) {
  bool negative = false;
  unsigned long long magnitude = 0;
  if (c.type == 'u') {
    auto bits = static_cast<unsigned long long>(value);
    magnitude = c.length == 2 ? static_cast<unsigned char>(bits)
                : c.length == 1 ? static_cast<unsigned short>(bits)
                                : bits;
  } else {
    long long narrowed = c.length == 2 ? static_cast<signed char>(value)
                         : c.length == 1 ? static_cast<short>(value)
                                         : value;
    negative = narrowed < 0;
    magnitude = negative ? 0ULL - static_cast<unsigned long long>(narrowed)
                         : static_cast<unsigned long long>(narrowed);
  }
  // A precision asks for at least that many digits; precision 0 shows zero as nothing.
  std::string digits = c.precision == 0 && magnitude == 0 ? "" : std::to_string(magnitude);
  if (c.precision > 0 && digits.size() < static_cast<std::size_t>(c.precision))
    digits.insert(0, static_cast<std::size_t>(c.precision) - digits.size(), '0');
  std::string sign;
  if (negative)
    sign = "-";
  else if (c.type != 'u')
    sign = c.plus ? "+" : c.blank ? " " : "";
  std::size_t length = sign.size() + digits.size();
  if (length >= c.width) return sign + digits;
  // The 0 flag pads with zeros only without a precision and without the - flag.
  bool zeros = c.zeros && !c.left && c.precision < 0;
  std::string pad(c.width - length, zeros ? '0' : ' ');
  if (c.left) return sign + digits + pad;
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
    if (!substituted) {
      NumberConversion c = ReadConversion(p, limit);
      if (c.type) {
        out += FormatNumber(value, c);
        substituted = true;
        continue;
      }
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
    flavour::SetDialogItemSelected(&item, static_cast<std::intptr_t>(desc.Selected));
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
  all.push_back(MessageText(kMsgOk));
  return Info.Message(Info.ModuleNumber, FMSG_WARNING, helpTopic, all.data(),
                      static_cast<int>(all.size()), 1);
}
