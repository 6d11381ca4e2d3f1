#include "filesearch/line_modes.h"
#include "filesearch/mode_functions.h"
#include "filesearch/word_list.h"

namespace {

constexpr ModeFunctions kModeFunctions[] = {
#define QUARIX_MODE_FUNCTIONS(name, number, label, cliName, pattern, whole, pieces, replace, \
                              replaceName)                                                 \
  {whole, pieces, replace},
    QUARIX_SEARCH_MODES(QUARIX_MODE_FUNCTIONS)
#undef QUARIX_MODE_FUNCTIONS
};

}  // namespace

const ModeFunctions& FunctionsOf(SearchMode mode) {
  return kModeFunctions[static_cast<int>(mode)];
}
