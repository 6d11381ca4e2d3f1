// Sets the text model for one test and restores the model it found: the switch is global.
#pragma once

#include "common/text_model.h"

struct TextModelScope {
  explicit TextModelScope(bool utf8) { SetTextIsUtf8(utf8); }
  ~TextModelScope() { SetTextIsUtf8(saved); }
  TextModelScope(const TextModelScope&) = delete;
  TextModelScope& operator=(const TextModelScope&) = delete;
  const bool saved = TextIsUtf8();
};
