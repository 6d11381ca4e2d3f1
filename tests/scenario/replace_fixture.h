// Replace runs through the real Trawlix module: settings stored as a user left them, the
// replace dialog confirmed, the questions answered by a script, the tree read back.
#pragma once

#include <sys/stat.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "scenario/child_process.h"
#include "scenario/dialog_script.h"
#include "scenario/fixture.h"

namespace scenario {

constexpr int kReplaceMenuItem = 1;
constexpr int kStartButton = 22;

struct ReplaceOptions {
  std::string text;
  std::string with;
  std::string mask = "*";
  int mode = 0;
  int scope = 3;
  bool backup = false;
  bool list = false;
  bool confirmFile = false;
  bool confirmMatch = false;
  int readAtOnceLimit = 1024;  // 0 sends every non-empty file down the mapping path
  int severalLines = 3;
  // One thread: the n-th call of a file operation concerns the same file in every run.
  int threads = 1;
};

// The two ways a file is read: whole into memory, or mapped (every non-empty file when
// ReadAtOnceLimit is 0).
struct Path {
  const char* name;
  int readAtOnceLimit;
};
inline constexpr Path kPaths[] = {{"memory", 1024}, {"mapping", 0}};

// What a run replacing "foo" by "bar" makes of s.
inline std::string ReplaceFooByBar(std::string s) {
  for (std::size_t at = 0; (at = s.find("foo", at)) != std::string::npos; at += 3)
    s.replace(at, 3, "bar");
  return s;
}

// Runs the quarix program's replace of "foo" by "bar" in the *.txt files of one folder,
// without questions, under the fault plan fail (QUARIX_FAIL), e.g. to kill it midway, on
// the given number of threads.
inline ChildResult RunReplaceUnderFaultPlan(const std::string& tree, bool backup,
                                            const std::string& fail, int threads = 1) {
  return RunChild(QUARIX_BIN_DIR "/quarix",
                  {"replace", tree, "--mask", "*.txt", "--text", "foo", "--with", "bar",
                   "--mode", "plain", "--scope", "folder", "--no-confirm-file",
                   "--no-confirm-match", "--no-list", backup ? "--backup" : "--no-backup",
                   "-j", std::to_string(threads)},
                  {{"QUARIX_PLUGIN_DIR", QUARIX_BIN_DIR}, {"QUARIX_FAIL", fail}});
}

// Lists every file of one folder as the quarix program's search does (the files without
// a text that none holds), each name ended by a NUL byte.
inline ChildResult RunSearchOfEveryFile(const std::string& tree) {
  return RunChild(QUARIX_BIN_DIR "/quarix",
                  {"search", tree, "--mask", "*", "--text", "text in no file", "--mode", "plain",
                   "--inverse", "--scope", "folder", "-0"},
                  {{"QUARIX_PLUGIN_DIR", QUARIX_BIN_DIR}});
}

// The names of the replace's temporary files among the entries of a tree.
template <typename Tree>
std::vector<std::string> TemporaryNames(const Tree& tree) {
  std::vector<std::string> names;
  for (const auto& [name, content] : tree)
    if (name.find(".qxnew-") != std::string::npos) names.push_back(name);
  return names;
}

// What a run of the quarix program said about the temporary files it removed: their
// number, or 0 when it said nothing of them.
inline int RemovedTemporaries(const ChildResult& result) {
  const std::string said = "Temporary files of interrupted replaces removed:\n";
  const std::size_t at = result.err.find(said);
  return at == std::string::npos ? 0 : std::atoi(result.err.c_str() + at + said.size());
}

// After a replace of tree was killed: the next runs neither list nor leave a temporary
// file of the project's naming (but those kept is told which names they keep) and say how
// many they removed. With searchFirst a search comes before the replace and removes them;
// otherwise the replace does. Every file holds its new version afterwards.
template <typename Tree, typename ReadTreeFn>
void ExpectNextRunsCleanUp(const std::string& tree, const Tree& old, bool searchFirst,
                           const std::vector<std::string>& kept, ReadTreeFn readTree) {
  const Tree before = readTree(tree);
  const std::size_t dead = TemporaryNames(before).size() - kept.size();
  if (searchFirst) {
    ChildResult search = RunSearchOfEveryFile(tree);
    EXPECT_EQ(search.out.find(".qxnew-"), std::string::npos) << "a temporary file listed";
    EXPECT_EQ(RemovedTemporaries(search), static_cast<int>(dead)) << search.err;
  }
  ChildResult next = RunReplaceUnderFaultPlan(tree, false, "");
  EXPECT_NE(next.exitCode, -1) << next.err;
  EXPECT_EQ(RemovedTemporaries(next), searchFirst ? 0 : static_cast<int>(dead)) << next.err;
  const Tree after = readTree(tree);
  EXPECT_EQ(TemporaryNames(after), kept);
  for (const auto& [name, content] : old) {
    const auto found = after.find(name);
    ASSERT_NE(found, after.end()) << name;
    EXPECT_TRUE(found->second == ReplaceFooByBar(content)) << name << " is not the new version";
  }
}

class ReplaceTest : public ScenarioTest {
 protected:
  // Stores the options, loads Trawlix, shows the folder and runs the replace command with
  // its dialog confirmed as shown. Questions go to answer (unset: the first button).
  HANDLE Replace(const std::string& folder, const ReplaceOptions& o) {
    WriteStoredText("FText", o.text);
    WriteStoredText("FRReplace", o.with);
    WriteStoredText("FMask", o.mask);
    WriteStoredInt("FSearchAs", o.mode);
    WriteStoredInt("FSearchIn", o.scope);
    WriteStoredInt("FRSaveOriginal", o.backup);
    WriteStoredInt("FROpenModified", o.list);
    WriteStoredInt("FRConfirmFile", o.confirmFile);
    WriteStoredInt("FRConfirmLine", o.confirmMatch);
    WriteStoredInt("ReadAtOnceLimit", o.readAtOnceLimit);
    WriteStoredInt("SeveralLines", o.severalLines);
    WriteStoredInt("Threads", o.threads);
    host::Plugin* trawlix = LoadTrawlix();
    if (!trawlix) return FAR_INVALID_HANDLE;
    if (!host_->ShowFolder(host_->activePanel(), folder)) return FAR_INVALID_HANDLE;
    script_ = DialogScript{};
    script_.steps = {[](FarDialogItem*) { return kStartButton; }};
    script_.Attach(*host_);
    host_->driver.message = [this](const host::MessageRequest& request) {
      if (request.buttons == 0) return 0;  // the walk's progress
      questions.push_back(request);
      return answer ? answer(request) : 0;
    };
    return host_->OpenPlugin(trawlix, OPEN_PLUGINSMENU, kReplaceMenuItem);
  }

  // The questions and warnings of one help topic, in the order shown.
  std::vector<host::MessageRequest> Shown(const std::string& helpTopic) const {
    std::vector<host::MessageRequest> found;
    for (const auto& q : questions)
      if (q.helpTopic == helpTopic) found.push_back(q);
    return found;
  }

  // Every entry below base by its relative path: a file's bytes, a link as "-> target".
  static std::map<std::string, std::string> ReadTree(const std::string& base) {
    std::map<std::string, std::string> tree;
    for (const auto& entry : fs::recursive_directory_iterator(base)) {
      std::string name = entry.path().lexically_relative(base).string();
      if (entry.is_symlink())
        tree[name] = "-> " + fs::read_symlink(entry.path()).string();
      else if (entry.is_regular_file())
        tree[name] = ReadFile(entry.path().string());
    }
    return tree;
  }

  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  static unsigned ModeOf(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
  }

  DialogScript script_;
  std::vector<host::MessageRequest> questions;
  std::function<int(const host::MessageRequest&)> answer;
};

}  // namespace scenario
