#include <gtest/gtest.h>

#include <cstring>

#include "fake_plugin.h"
#include "host/host.h"

namespace {

class ServicesTest : public testing::Test {
 protected:
  void SetUp() override {
    host.recordCalls = true;
    plugin = host.AddPlugin(fake::MakePlugin({"OK", "Cancel", ""}));
    ASSERT_NE(plugin, nullptr);
    info = plugin->startup;
    host.calls.clear();
  }
  host::Host host;
  host::Plugin* plugin = nullptr;
  PluginStartupInfo info{};
};

TEST_F(ServicesTest, StartupRecordNamesTheModuleAndEveryService) {
  EXPECT_EQ(info.StructSize, static_cast<int>(sizeof(PluginStartupInfo)));
  EXPECT_STREQ(info.ModuleName, "/in-process/fake.so");
  EXPECT_EQ(info.ModuleNumber, plugin->number);
  EXPECT_STREQ(info.RootKey, "Software\\Far\\Plugins");
  EXPECT_EQ(fake::state.startup, &plugin->startup);
  const void* services[] = {reinterpret_cast<const void*>(info.Menu),
                            reinterpret_cast<const void*>(info.Dialog),
                            reinterpret_cast<const void*>(info.Message),
                            reinterpret_cast<const void*>(info.GetMsg),
                            reinterpret_cast<const void*>(info.Control),
                            reinterpret_cast<const void*>(info.SaveScreen),
                            reinterpret_cast<const void*>(info.RestoreScreen),
                            reinterpret_cast<const void*>(info.GetDirList),
                            reinterpret_cast<const void*>(info.GetPluginDirList),
                            reinterpret_cast<const void*>(info.FreeDirList),
                            reinterpret_cast<const void*>(info.Viewer),
                            reinterpret_cast<const void*>(info.Editor),
                            reinterpret_cast<const void*>(info.CmpName),
                            reinterpret_cast<const void*>(info.CharTable),
                            reinterpret_cast<const void*>(info.Text),
                            reinterpret_cast<const void*>(info.EditorControl)};
  for (const void* service : services) EXPECT_NE(service, nullptr);
}

TEST_F(ServicesTest, ModuleNumbersAreUniqueAndNamesTooLongAreRefused) {
  host::Plugin* second = host.AddPlugin(fake::MakePlugin());
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second->number, plugin->number);
  auto tooLong = fake::MakePlugin();
  tooLong->path = "/" + std::string(kMaxPath - 1, 'x');  // 260 bytes: no room for the zero
  EXPECT_EQ(host.AddPlugin(std::move(tooLong)), nullptr);
}

TEST_F(ServicesTest, GetMsgGivesTheTextOrAnEmptyOneNeverNull) {
  EXPECT_STREQ(info.GetMsg(info.ModuleNumber, 1), "Cancel");
  EXPECT_STREQ(info.GetMsg(info.ModuleNumber, 2), "");
  for (int number : {3, 1999, -1, -2147483647 - 1}) {
    const char* text = info.GetMsg(info.ModuleNumber, number);
    ASSERT_NE(text, nullptr) << number;
    EXPECT_STREQ(text, "") << number;
  }
  EXPECT_STREQ(info.GetMsg(info.ModuleNumber + 100, 0), "");
  ASSERT_FALSE(host.calls.empty());
  EXPECT_EQ(host.calls[0].service, "GetMsg");
  EXPECT_EQ(host.calls[0].args, std::vector<std::intptr_t>{1});
  EXPECT_EQ(host.calls[0].texts, std::vector<std::string>{"Cancel"});
}

TEST_F(ServicesTest, MessageWithButtonsReturnsTheDriversAnswer) {
  std::vector<host::MessageRequest> seen;
  int answer = 1;
  host.driver.message = [&](const host::MessageRequest& request) {
    seen.push_back(request);
    return answer;
  };
  const char* lines[] = {"Title", "text", "\x01", "Yes", "No"};
  EXPECT_EQ(info.Message(info.ModuleNumber, FMSG_WARNING, "Topic", lines, 5, 2), 1);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].lines, (std::vector<std::string>{"Title", "text", "\x01", "Yes", "No"}));
  EXPECT_EQ(seen[0].buttons, 2);
  EXPECT_EQ(seen[0].helpTopic, "Topic");
  EXPECT_EQ(seen[0].flags, FMSG_WARNING);

  answer = 7;  // no such button: the host reports Escape
  EXPECT_EQ(info.Message(info.ModuleNumber, 0, nullptr, lines, 5, 2), -1);
  host.driver.message = nullptr;
  EXPECT_EQ(info.Message(info.ModuleNumber, 0, nullptr, lines, 5, 2), -1);

  ASSERT_EQ(host.calls.size(), 3u);
  EXPECT_EQ(host.calls[0].service, "Message");
  EXPECT_EQ(host.calls[0].result, 1);
  EXPECT_EQ(host.calls[0].texts.front(), "Topic");
}

TEST_F(ServicesTest, MessageWithoutButtonsReturnsAtOnceAndTellsTheDriver) {
  int told = 0;
  host.driver.message = [&](const host::MessageRequest& request) {
    ++told;
    EXPECT_EQ(request.buttons, 0);
    return 3;
  };
  const char* lines[] = {"Trawlix", "/tmp/", "Files tested: 1", "Files found: 0"};
  EXPECT_EQ(info.Message(info.ModuleNumber, 0, nullptr, lines, 4, 0), 0);
  EXPECT_EQ(told, 1);
  // More buttons than lines, or no lines at all, are no reason to read past them.
  EXPECT_EQ(info.Message(info.ModuleNumber, 0, nullptr, lines, 1, 5), 0);
  EXPECT_EQ(info.Message(info.ModuleNumber, 0, nullptr, nullptr, 3, 1), 0);
}

TEST_F(ServicesTest, DialogRecordsItemsAsShownAndReturnsTheAnswer) {
  FarDialogItem items[2]{};
  items[0].Type = DI_DOUBLEBOX;
  std::strcpy(items[0].Data, "Title");
  items[1].Type = DI_EDIT;
  std::strcpy(items[1].Data, "before");
  EXPECT_EQ(info.Dialog(info.ModuleNumber, -1, -1, 76, 25, "Help", items, 2), -1);  // no driver

  host.driver.dialog = [](int, const char* help, FarDialogItem* shown, int count) {
    EXPECT_STREQ(help, "Help");
    EXPECT_EQ(count, 2);
    std::memset(shown[1].Data, 'x', sizeof(shown[1].Data));  // no zero anywhere
    return 1;
  };
  EXPECT_EQ(info.Dialog(info.ModuleNumber, -1, -1, 76, 25, "Help", items, 2), 1);
  EXPECT_EQ(std::strlen(items[1].Data), sizeof(items[1].Data) - 1);

  ASSERT_EQ(host.calls.size(), 2u);
  const host::ServiceCall& call = host.calls[1];
  EXPECT_EQ(call.service, "Dialog");
  EXPECT_EQ(call.args, (std::vector<std::intptr_t>{-1, -1, 76, 25, 2}));
  ASSERT_EQ(call.items.size(), 2u);
  EXPECT_STREQ(call.items[1].Data, "before");
  EXPECT_EQ(call.texts, (std::vector<std::string>{"Help", "Title", "before"}));
  EXPECT_EQ(call.result, 1);

  host.driver.dialog = [](int, const char*, FarDialogItem*, int) { return 5; };
  EXPECT_EQ(info.Dialog(info.ModuleNumber, -1, -1, 76, 25, "Help", items, 2), -1);
}

TEST_F(ServicesTest, SaveScreenGivesFreshHandlesThatRestoreScreenPairsUp) {
  HANDLE first = info.SaveScreen(0, 0, -1, -1);
  HANDLE second = info.SaveScreen(0, 0, -1, -1);
  EXPECT_NE(first, nullptr);
  EXPECT_NE(first, FAR_INVALID_HANDLE);
  EXPECT_NE(first, second);
  EXPECT_EQ(host.savedScreens, (std::vector<HANDLE>{first, second}));
  info.RestoreScreen(second);
  info.RestoreScreen(first);
  EXPECT_TRUE(host.savedScreens.empty());
  ASSERT_EQ(host.calls.size(), 4u);
  EXPECT_EQ(host.calls[0].service, "SaveScreen");
  EXPECT_EQ(host.calls[0].args, (std::vector<std::intptr_t>{0, 0, -1, -1}));
  EXPECT_EQ(host.calls[3].service, "RestoreScreen");
  EXPECT_EQ(host.calls[3].args, std::vector<std::intptr_t>{reinterpret_cast<std::intptr_t>(first)});
}

TEST_F(ServicesTest, ServicesNotOfferedAreRecordedAndFail) {
  PluginPanelItem* list = reinterpret_cast<PluginPanelItem*>(&info);
  int count = 5;
  EXPECT_EQ(info.GetDirList("/", &list, &count), 0);
  EXPECT_EQ(list, nullptr);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(info.Viewer("/x", "x", 0, 0, -1, -1, 0), 0);
  EXPECT_EQ(info.Editor("/x", "x", 0, 0, -1, -1, 0, 0, 0), 0);
  EXPECT_EQ(info.CharTable(0, nullptr, 0), -1);
  int breakCode = 0;
  EXPECT_EQ(info.Menu(info.ModuleNumber, -1, -1, 0, 0, "t", nullptr, nullptr, nullptr, &breakCode,
                      nullptr, 0),
            -1);
  std::vector<std::string> names;
  for (const host::ServiceCall& call : host.calls) names.push_back(call.service);
  EXPECT_EQ(names,
            (std::vector<std::string>{"GetDirList", "Viewer", "Editor", "CharTable", "Menu"}));
}

// The quarix program's host is a plain one: were every call kept, its memory would grow
// with every folder walked and every line edited.
TEST(HostRecord, KeepsNothingUnlessAsked) {
  host::Host plain;
  host::Plugin* plugin = plain.AddPlugin(fake::MakePlugin({"OK"}));
  ASSERT_NE(plugin, nullptr);
  const PluginStartupInfo& info = plugin->startup;
  FarDialogItem item{};
  const char* lines[] = {"title", "OK"};
  EditorInfo editor{};
  auto callEveryKind = [&] {
    info.GetMsg(info.ModuleNumber, 0);
    info.Dialog(info.ModuleNumber, -1, -1, 10, 5, "topic", &item, 1);
    info.Message(info.ModuleNumber, 0, "topic", lines, 2, 1);
    info.Control(FAR_INVALID_HANDLE, FCTL_REDRAWPANEL, nullptr);
    info.RestoreScreen(info.SaveScreen(0, 0, -1, -1));
    info.EditorControl(ECTL_GETINFO, &editor);
    info.CharTable(0, nullptr, 0);
  };
  callEveryKind();
  EXPECT_TRUE(plain.calls.empty());
  plain.recordCalls = true;
  callEveryKind();
  EXPECT_EQ(plain.calls.size(), 8u);
}

TEST(HostLifetime, MakesItselfCurrentAndGivesEveryPluginExitFAR) {
  host::Host* before = host::CurrentHost();
  {
    host::Host outer;
    EXPECT_EQ(host::CurrentHost(), &outer);
    {
      host::Host inner;
      inner.AddPlugin(fake::MakePlugin());
      EXPECT_EQ(host::CurrentHost(), &inner);
    }
    EXPECT_EQ(fake::state.calls.back(), "ExitFAR");
    EXPECT_EQ(host::CurrentHost(), &outer);
  }
  EXPECT_EQ(host::CurrentHost(), before);
}

}  // namespace
