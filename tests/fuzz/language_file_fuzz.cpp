// The host's language files: any bytes are read without a fault, and a file that reads
// as a language file, written again in the plain form (the header, then one quoted text
// per line), reads back to the same name, description and texts.
//
// Input: the file's bytes.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "host/language_file.h"

namespace {

std::string Describe(const host::LanguageFile& file) {
  std::string out = fuzz::Show(file.name) + " " + fuzz::Show(file.description) + ":";
  for (const std::string& message : file.messages) out += " " + fuzz::Show(message);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  host::LanguageFile file;
  if (!host::ParseLanguageFile(bytes, &file)) return 0;
  if (file.name.empty())
    fuzz::Fail("a language file without a name was taken: " + fuzz::Show(bytes));

  // Always with the comma: without one, blanks at the name's end would be trimmed. Lines
  // end with CR LF: the reader drops one CR before the LF, and a text read from a line
  // that ended in two keeps the other.
  std::string written = ".Language=" + file.name + "," + file.description + "\r\n";
  for (const std::string& message : file.messages) written += "\"" + message + "\"\r\n";
  host::LanguageFile back;
  if (!host::ParseLanguageFile(written, &back) || back.name != file.name ||
      back.description != file.description || back.messages != file.messages)
    fuzz::Fail("the file " + fuzz::Show(bytes) + " read as " + Describe(file) +
               ", written as " + fuzz::Show(written) + " read back as " + Describe(back));
  return 0;
}
