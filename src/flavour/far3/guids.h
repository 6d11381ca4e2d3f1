// The GUIDs by which Far 3 knows the native modules, their menu items, dialogs and
// messages. They are fixed for good: Far 3 keys the plugins' settings, macros, dialog
// histories and the plugin configuration menu on them. README lists them.
#pragma once

#include <string_view>

#include "far3/plugin3.h"

namespace far3 {

// "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX" to the record.
constexpr Uuid MakeUuid(std::string_view text) {
  auto hex = [&](std::size_t at, int digits) {
    std::uint32_t value = 0;
    for (int i = 0; i < digits; ++i) {
      const char c = text[at + static_cast<std::size_t>(i)];
      value = value * 16 +
              static_cast<std::uint32_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
    }
    return value;
  };
  Uuid id{hex(0, 8), static_cast<std::uint16_t>(hex(9, 4)),
          static_cast<std::uint16_t>(hex(14, 4)), {}};
  const std::size_t bytes[8] = {19, 21, 24, 26, 28, 30, 32, 34};
  for (int i = 0; i < 8; ++i) id.Data4[i] = static_cast<std::uint8_t>(hex(bytes[i], 2));
  return id;
}

// The modules: the same GUIDs their 1.x builds carry in their version resource, so that
// Far 3 keeps what it stored for them.
constexpr Uuid kTrawlixGuid = MakeUuid("10252036-EC78-4987-9495-0DC5AF48DCEB");
constexpr Uuid kLinquoGuid = MakeUuid("6FB89457-D733-4125-A6B4-00AD6E9C7C3B");

// Menu items, in the order of the modules' menus.
constexpr Uuid kTrawlixMenuGuids[] = {MakeUuid("EE94A663-FB21-4963-AABC-81999345B6B9"),
                                      MakeUuid("11527DC1-1FE6-4273-A34B-92FACDF5EF34")};
constexpr Uuid kTrawlixConfigGuid = MakeUuid("E0B6604A-BB36-42FF-B191-5447D00DB9BE");
constexpr Uuid kLinquoMenuGuids[] = {MakeUuid("7CA76835-4E84-439B-B8CD-A79C7CAFBF31"),
                                     MakeUuid("559D5E39-AFAB-4789-8D03-CE97705A1176"),
                                     MakeUuid("6FFCBB6A-6A5B-4154-927D-D88A68859990")};

// Dialogs and messages, by the help topic the core names them with.
struct TopicGuid {
  std::string_view topic;
  Uuid id;
};
constexpr TopicGuid kTopicGuids[] = {
    {"FileSearchDlg", MakeUuid("46C91DF2-DA97-41AD-901F-3EB72B6F2DC3")},
    {"FileReplaceDlg", MakeUuid("D0B6263D-247A-4A16-BCD0-F2354F983E07")},
    {"QXCfg", MakeUuid("DE1A822A-AFCD-4182-8184-FAE11AED3FE8")},
    {"SearchDlg", MakeUuid("D7A5D058-C034-45E5-9B1A-73291527D701")},
    {"ReplaceDlg", MakeUuid("BD33DD14-0ECB-4230-9DE2-BD4E3BD8EDB9")},
    {"FRConfirmFile", MakeUuid("D90F9D16-55E2-40FF-A1DE-EF6AE7ABA751")},
    {"FRAskReplace", MakeUuid("020F89DB-F1FB-4259-B5AF-15C44C982A62")},
    {"QXAskReplace", MakeUuid("38522D4F-C26E-457D-9319-006D87A386C7")},
};
// Every other message (warnings, errors, the search's progress).
constexpr Uuid kMessageGuid = MakeUuid("B7DAD15F-7FEE-446B-8905-9AD573564127");

}  // namespace far3
