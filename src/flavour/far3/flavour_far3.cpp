// Far 3's own Unicode API: the core runs in UTF-8 behind the bridges of this folder, on the
// 1.x records (records_1x.cpp).
#include "flavour/flavour.h"

namespace flavour {

bool HostTextIsUtf8() { return true; }
const char* const kLinquoModuleName = "Linquo.dll";
// The native Linquo has its own startup record from the host.
const bool kLinquoTakesStartupRecord = false;
const bool kSettingsIgnoreRootKey = false;

}  // namespace flavour
