// Views whose pages the fault guard had to replace (see guard.cpp): such a view is no
// longer a mapping and is released differently.
#pragma once

namespace platform {

// Releases base when the guard replaced the view there; false when it did not.
bool ReleaseReplacedView(const void* base);

}  // namespace platform
