// A user's answers to the dialogs of one command, in the order they are shown: each step
// may edit the items and returns the item that closes the dialog. A dialog shown after
// the last step is cancelled (Escape).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/host.h"

namespace scenario {

using DialogStep = std::function<int(FarDialogItem* items)>;

struct DialogScript {
  std::vector<DialogStep> steps;
  std::vector<std::string> helpTopics;  // of every dialog shown
  int shown = 0;

  void Attach(host::Host& host) {
    host.driver.dialog = [this](int, const char* helpTopic, FarDialogItem* items, int) {
      helpTopics.push_back(helpTopic ? helpTopic : "");
      int step = shown++;
      return step < static_cast<int>(steps.size()) ? steps[step](items) : -1;
    };
  }
};

// Every message is acknowledged with its first button.
inline void AcknowledgeMessages(host::Host& host) {
  host.driver.message = [](const host::MessageRequest&) { return 0; };
}

}  // namespace scenario
