// The registry's key files: any text is read without a fault, and what is read is written
// and read back to the same values (names, types, exact bytes), the written text being
// the same when written again. Values made up by the input, with names the registry
// stores (no control character), go through the same round trip.
//
// Input: a flags byte; with bit 0 clear the rest is a key file; with it set, values: a
// name (ended by a zero byte), a type byte (0xFF: four more give the type), a length byte and that many data bytes, again
// and again.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "platform/posix/registry_file.h"

namespace {

using platform::posix::RegistryValue;

constexpr const char* kKeyPath = "Software\\Far\\Plugins\\Quarix";

std::string Describe(const std::vector<RegistryValue>& values) {
  std::string out;
  for (const RegistryValue& v : values)
    out += fuzz::Show(v.name) + " type " + std::to_string(v.type) + " " + fuzz::Show(v.data) + "; ";
  return out;
}

bool Same(const std::vector<RegistryValue>& a, const std::vector<RegistryValue>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i].name != b[i].name || a[i].type != b[i].type || a[i].data != b[i].data) return false;
  return true;
}

void CheckRoundTrip(const std::vector<RegistryValue>& values, const std::string& origin) {
  const std::string written = platform::posix::FormatRegistryFile(kKeyPath, values);
  std::vector<RegistryValue> back;
  if (!platform::posix::ParseRegistryFile(written, &back) || !Same(values, back))
    fuzz::Fail(origin + ": the values " + Describe(values) + " were written as " +
               fuzz::Show(written) + " and read back as " + Describe(back));
  const std::string again = platform::posix::FormatRegistryFile(kKeyPath, back);
  if (again != written)
    fuzz::Fail(origin + ": written again as " + fuzz::Show(again) + ", first " +
               fuzz::Show(written));
}

bool IsStorableName(const std::string& name) {
  for (unsigned char c : name)
    if (c < 0x20 || c == 0x7F) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  if ((input.TakeByte() & 1) == 0) {
    const std::string text = input.TakeRest();
    std::vector<RegistryValue> values;
    if (platform::posix::ParseRegistryFile(text, &values))
      CheckRoundTrip(values, "the file " + fuzz::Show(text));
    else if (!values.empty())
      fuzz::Fail("a file that failed to parse left values: " + fuzz::Show(text));
    return 0;
  }
  std::vector<RegistryValue> values;
  for (;;) {
    RegistryValue value;
    value.name = input.TakeText();
    value.type = input.TakeByte();
    if (value.type == 0xFF)  // any 32-bit type
      for (int i = 0; i < 4; ++i) value.type = value.type << 8 | input.TakeByte();
    const std::size_t length = input.TakeByte();
    for (std::size_t i = 0; i < length; ++i) value.data += static_cast<char>(input.TakeByte());
    if (value.name.empty() && value.type == 0 && length == 0) break;
    if (!IsStorableName(value.name)) continue;
    // Names are told apart without regard to ASCII case: a name given twice is one value.
    bool taken = false;
    for (const RegistryValue& v : values)
      taken = taken || platform::posix::EqualValueNames(v.name, value.name);
    if (!taken) values.push_back(std::move(value));
  }
  CheckRoundTrip(values, "made-up values");
  return 0;
}
