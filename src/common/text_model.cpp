#include "common/text_model.h"

namespace {

bool g_textIsUtf8 = false;

}  // namespace

void SetTextIsUtf8(bool on) { g_textIsUtf8 = on; }

bool TextIsUtf8() { return g_textIsUtf8; }
