// Searches and replaces on several threads list and rewrite exactly what one thread does,
// in the same order, run after run, on random trees: small and large files, empty ones,
// folders within folders, and files reached twice (a symbolic link, a second hard link).
#include <unistd.h>

#include <random>

#include "scenario/replace_fixture.h"

namespace scenario {
namespace {

using Tree = std::map<std::string, std::string>;

// A random tree below base, the same for the same seed.
void MakeRandomTree(const std::string& base, unsigned seed) {
  std::mt19937 random(seed);
  auto below = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  std::vector<std::string> folders = {""};
  for (int i = 0; i < 6; ++i) {
    const std::string parent = folders[below(static_cast<int>(folders.size()))];
    folders.push_back(parent + "d" + std::to_string(i) + "/");
  }
  std::vector<std::string> files;
  for (int i = 0; i < 60; ++i) {
    const std::string name = folders[below(static_cast<int>(folders.size()))] + "f" +
                             std::to_string(i) + (below(4) == 0 ? ".log" : ".txt");
    std::string content;
    const int kind = below(10);
    const std::size_t lines = kind == 0 ? 0 : kind == 1 ? 20000 : 1 + below(40);
    for (std::size_t line = 0; line < lines; ++line) {
      const int what = below(50);
      content += what == 0 ? "a foo here\n" : what == 1 ? "FOO in capitals\n" : "plain line\n";
    }
    WriteFile(base + "/" + name, content);
    files.push_back(name);
  }
  // Files the walk reaches under two names.
  for (int i = 0; i < 3; ++i) {
    const std::string& target = files[below(static_cast<int>(files.size()))];
    const std::string link = "link" + std::to_string(i) + ".txt";
    if (i == 0) {
      EXPECT_EQ(::link((base + "/" + target).c_str(), (base + "/" + link).c_str()), 0);
    } else {
      EXPECT_EQ(symlink((base + "/" + target).c_str(), (base + "/" + link).c_str()), 0);
    }
  }
}

class ParallelOrderTest : public ReplaceTest {
 protected:
  // The panel's names after a search of tree on the given threads, relative to the tree,
  // in the panel's order.
  std::vector<std::string> SearchOn(const std::string& tree, int threads, int mode,
                                    const std::string& text, bool inverse) {
    RestartHost();
    WriteStoredInt("Threads", threads);
    WriteStoredInt("FSearchAs", mode);
    WriteStoredInt("FCaseSensitive", 0);
    WriteStoredInt("FSInverse", inverse);
    WriteStoredInt("FSearchIn", 2);
    WriteStoredText("FMask", "*.txt");
    if (!LoadTrawlix()) return {"<no module>"};
    ShowFolder(tree);
    if (Search(text) != kResultsPanel) return {"<no panel>"};
    std::vector<std::string> names;
    for (const std::string& path : PanelNames()) names.push_back(path.substr(tree.size() + 1));
    return names;
  }

  struct Outcome {
    Tree tree;
    std::vector<std::string> listed;
    std::vector<std::string> shown;
  };

  Outcome ReplaceOn(const std::string& tree, int threads, int mode, bool backup) {
    RestartHost();
    questions.clear();
    Replace(tree, {.text = mode == 0 ? "foo" : "f(o+)", .with = mode == 0 ? "bar" : "b$1r",
                   .mask = "*.txt", .mode = mode, .scope = 2, .backup = backup, .list = true,
                   .threads = threads});
    Outcome outcome{ReadTree(tree), {}, {}};
    for (const std::string& path : PanelNames()) outcome.listed.push_back(path.substr(tree.size() + 1));
    for (const auto& q : questions) outcome.shown.push_back(q.helpTopic);
    return outcome;
  }
};

TEST_F(ParallelOrderTest, SearchesListWhatOneThreadListsInTheSameOrder) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const std::string tree = Folder("tree" + std::to_string(seed));
    MakeRandomTree(tree, seed);
    const struct {
      int mode;
      const char* text;
      bool inverse;
    } questions[] = {{0, "foo", false}, {1, "^a f", false}, {0, "foo", true}, {0, "", false}};
    for (const auto& q : questions) {
      SCOPED_TRACE(std::string("mode ") + std::to_string(q.mode) + " '" + q.text + "'" +
                   (q.inverse ? " inverse" : ""));
      const std::vector<std::string> alone = SearchOn(tree, 1, q.mode, q.text, q.inverse);
      ASSERT_FALSE(alone.empty());
      for (int threads : {2, 3, 5, 2})
        EXPECT_EQ(SearchOn(tree, threads, q.mode, q.text, q.inverse), alone) << threads;
    }
  }
}

TEST_F(ParallelOrderTest, ReplacesRewriteWhatOneThreadRewritesInTheSameOrder) {
  for (unsigned seed = 1; seed <= 4; ++seed) {
    for (auto [mode, backup] : {std::pair{0, false}, {1, true}}) {
      SCOPED_TRACE("seed " + std::to_string(seed) + ", mode " + std::to_string(mode));
      const std::string name = std::to_string(seed) + "-" + std::to_string(mode);
      const std::string aloneTree = Folder("alone" + name);
      MakeRandomTree(aloneTree, seed);
      const Outcome alone = ReplaceOn(aloneTree, 1, mode, backup);
      ASSERT_FALSE(alone.listed.empty());
      for (int threads : {2, 4}) {
        SCOPED_TRACE(threads);
        const std::string tree = Folder("threads" + std::to_string(threads) + "-" + name);
        MakeRandomTree(tree, seed);
        const Outcome parallel = ReplaceOn(tree, threads, mode, backup);
        // The links name their own tree: compared without it.
        Tree expected;
        for (auto [entry, content] : alone.tree) {
          if (content.starts_with("-> " + aloneTree)) content = "-> " + tree + content.substr(3 + aloneTree.size());
          expected[entry] = content;
        }
        EXPECT_TRUE(parallel.tree == expected) << "the trees differ";
        EXPECT_EQ(parallel.listed, alone.listed);
        EXPECT_EQ(parallel.shown, alone.shown);
      }
    }
  }
}

}  // namespace
}  // namespace scenario
