// Points the startup record's Message and GetMsg at functions that record what the plugin
// code shows, and restores the record afterwards.
#pragma once

#include <string>
#include <vector>

#include "common/host_binding.h"

namespace recorder {

struct ShownMessage {
  DWORD flags = 0;
  std::string helpTopic;
  std::vector<std::string> items;
  int buttons = 0;
};

inline std::vector<ShownMessage>& Shown() {
  static std::vector<ShownMessage> shown;
  return shown;
}

inline int FARAPI RecordMessage(FarModuleNumber, DWORD flags, const char* helpTopic,
                                const char* const* items, int itemsNumber, int buttons) {
  ShownMessage message;
  message.flags = flags;
  message.helpTopic = helpTopic ? helpTopic : "";
  for (int i = 0; i < itemsNumber; ++i) message.items.emplace_back(items[i]);
  message.buttons = buttons;
  Shown().push_back(message);
  return 0;
}

inline const char* FARAPI TextOfMessage(FarModuleNumber, int number) {
  static std::string text;
  text = "msg" + std::to_string(number);
  return text.c_str();
}

class Host {
 public:
  Host() : saved_(Info) {
    Info = PluginStartupInfo{};
    Info.ModuleNumber = 3;
    Info.Message = RecordMessage;
    Info.GetMsg = TextOfMessage;
    Shown().clear();
  }
  ~Host() { Info = saved_; }
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

 private:
  PluginStartupInfo saved_;
};

}  // namespace recorder
