#include "platform/posix/registry_file.h"

#include <cstdio>

#include "platform/platform.h"

namespace platform::posix {

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  return s;
}

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// A quoted text with \\ and \" escapes at the start of s; s is advanced past it.
bool ParseQuoted(std::string_view* s, std::string* out) {
  if (s->empty() || s->front() != '"') return false;
  out->clear();
  for (std::size_t i = 1; i < s->size(); ++i) {
    char c = (*s)[i];
    if (c == '"') {
      s->remove_prefix(i + 1);
      return true;
    }
    if (c == '\\') {
      if (i + 1 >= s->size()) return false;
      char next = (*s)[i + 1];
      if (next != '\\' && next != '"') return false;
      out->push_back(next);
      ++i;
      continue;
    }
    out->push_back(c);
  }
  return false;  // no closing quote
}

// 1 to 8 hex digits: the whole of s.
bool ParseHexNumber(std::string_view s, std::uint32_t* value) {
  if (s.empty() || s.size() > 8) return false;
  std::uint32_t v = 0;
  for (char c : s) {
    int d = HexDigit(c);
    if (d < 0) return false;
    v = v * 16 + static_cast<std::uint32_t>(d);
  }
  *value = v;
  return true;
}

// "61,62,0a" (spaces allowed around the commas), or nothing at all.
bool ParseHexBytes(std::string_view s, std::string* out) {
  out->clear();
  s = TrimLeft(s);
  if (s.empty()) return true;
  while (true) {
    if (s.size() < 2) return false;
    int hi = HexDigit(s[0]);
    int lo = HexDigit(s[1]);
    if (hi < 0 || lo < 0) return false;
    out->push_back(static_cast<char>(hi * 16 + lo));
    s = TrimLeft(s.substr(2));
    if (s.empty()) return true;
    if (s.front() != ',') return false;
    s = TrimLeft(s.substr(1));
  }
}

bool ParseValueLine(std::string_view line, RegistryValue* value) {
  if (line.front() == '@') {
    value->name.clear();
    line.remove_prefix(1);
  } else if (!ParseQuoted(&line, &value->name)) {
    return false;
  }
  line = TrimLeft(line);
  if (line.empty() || line.front() != '=') return false;
  line = TrimLeft(line.substr(1));
  if (!line.empty() && line.front() == '"') {
    if (!ParseQuoted(&line, &value->data) || !line.empty()) return false;
    value->type = kRegSz;
    value->data.push_back('\0');
    return true;
  }
  if (line.starts_with("dword:")) {
    std::uint32_t v = 0;
    if (!ParseHexNumber(line.substr(6), &v)) return false;
    value->type = kRegDword;
    value->data.assign(4, '\0');
    for (int i = 0; i < 4; ++i) value->data[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return true;
  }
  if (line.starts_with("hex:")) {
    value->type = kRegBinary;
    return ParseHexBytes(line.substr(4), &value->data);
  }
  if (line.starts_with("hex(")) {
    std::size_t close = line.find(')');
    if (close == std::string_view::npos || close + 1 >= line.size() || line[close + 1] != ':')
      return false;
    if (!ParseHexNumber(line.substr(4, close - 4), &value->type)) return false;
    return ParseHexBytes(line.substr(close + 2), &value->data);
  }
  return false;
}

// Lines without their line ends; a line ending in "\" goes on in the next one, as in
// the long hex lists of exported files.
std::vector<std::string> SplitLogicalLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string pending;
  bool continuing = false;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view physical = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    physical = TrimRight(physical);
    if (continuing) physical = TrimLeft(physical);
    continuing = !physical.empty() && physical.back() == '\\';
    if (continuing) physical.remove_suffix(1);
    pending.append(physical);
    if (!continuing) {
      lines.push_back(std::move(pending));
      pending.clear();
    }
  }
  if (continuing) lines.push_back(std::move(pending));
  return lines;
}

bool IsPlainText(const std::string& data) {
  if (data.empty() || data.back() != '\0') return false;
  for (std::size_t i = 0; i + 1 < data.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(data[i]);
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

void AppendQuoted(std::string* out, std::string_view text) {
  out->push_back('"');
  for (char c : text) {
    if (c == '\\' || c == '"') out->push_back('\\');
    out->push_back(c);
  }
  out->push_back('"');
}

}  // namespace

bool EqualValueNames(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

bool ParseRegistryFile(std::string_view text, std::vector<RegistryValue>* values) {
  values->clear();
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // an editor's UTF-8 mark
  bool sawHeader = false;
  bool sawSection = false;
  std::vector<RegistryValue> parsed;
  for (const std::string& raw : SplitLogicalLines(text)) {
    std::string_view line = TrimLeft(raw);
    if (line.empty() || line.front() == ';') continue;
    if (!sawHeader) {
      if (line != kHeader) return false;
      sawHeader = true;
      continue;
    }
    if (line.front() == '[') {
      // One file holds one key; a second section would be lost on the next write.
      if (sawSection || line.back() != ']') return false;
      sawSection = true;
      continue;
    }
    if (!sawSection) return false;
    RegistryValue value;
    if (!ParseValueLine(line, &value)) return false;
    // A name given twice: the later line wins, as when the file is imported.
    bool replaced = false;
    for (RegistryValue& existing : parsed) {
      if (EqualValueNames(existing.name, value.name)) {
        existing.type = value.type;
        existing.data = std::move(value.data);
        replaced = true;
        break;
      }
    }
    if (!replaced) parsed.push_back(std::move(value));
  }
  *values = std::move(parsed);
  return true;
}

std::string FormatRegistryFile(std::string_view keyPath, const std::vector<RegistryValue>& values) {
  std::string out;
  out.append(kHeader);
  out.append("\n\n[HKEY_CURRENT_USER\\");
  out.append(keyPath);
  out.append("]\n");
  for (const RegistryValue& value : values) {
    AppendQuoted(&out, value.name);
    out.push_back('=');
    char buffer[32];
    if (value.type == kRegSz && IsPlainText(value.data)) {
      AppendQuoted(&out, std::string_view(value.data).substr(0, value.data.size() - 1));
    } else if (value.type == kRegDword && value.data.size() == 4) {
      std::uint32_t v = 0;
      for (int i = 3; i >= 0; --i) v = v * 256 + static_cast<unsigned char>(value.data[i]);
      std::snprintf(buffer, sizeof buffer, "dword:%08x", v);
      out.append(buffer);
    } else {
      std::snprintf(buffer, sizeof buffer, "hex(%x):", value.type);
      out.append(buffer);
      for (std::size_t i = 0; i < value.data.size(); ++i) {
        std::snprintf(buffer, sizeof buffer, i ? ",%02x" : "%02x",
                      static_cast<unsigned char>(value.data[i]));
        out.append(buffer);
      }
    }
    out.push_back('\n');
  }
  return out;
}

}  // namespace platform::posix
