// A dialog item's state as the far2l flavour sets it: far2l writes back only an int of
// it, but the int shares its union with the history name's pointer.
#include <gtest/gtest.h>

#include <cstring>

#include "flavour/flavour.h"

namespace {

TEST(Far2lDialogItemTest, SettingTheStateClearsTheWholeUnion) {
  for (std::intptr_t state : {0, 1}) {
    FarDialogItem item;
    std::memset(&item, 0xA5, sizeof(item));  // what a reused item may hold
    flavour::SetDialogItemSelected(&item, state);
    EXPECT_EQ(item.Reserved, state);
    EXPECT_EQ(item.Selected, state);
    // Nothing of an earlier history name is left for far2l to follow.
    EXPECT_EQ(item.History, reinterpret_cast<const char*>(state));
  }
}

}  // namespace
