// Our host and the Windows hosts of the 1.x API (FAR 1.7x, FAR 2, Far 3's layer for old
// plugins): OEM text, the listing record as the panel record.
#include "flavour/flavour.h"

namespace flavour {

// The Windows hosts speak OEM; our quarix program speaks what its locale does and says so
// (see platform::IsUtf8TextAsked).
bool HostTextIsUtf8() { return platform::IsUtf8TextAsked(); }
// The name the build gives the module (see CMakeLists.txt).
const char* const kLinquoModuleName = QUARIX_LINQUO_MODULE;
const bool kLinquoTakesStartupRecord = true;
const bool kSettingsIgnoreRootKey = false;

}  // namespace flavour
