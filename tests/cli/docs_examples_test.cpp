// The documentation against the program: the command lines of README.md and
// docs/*.md that are marked as runnable are run as written, the files the
// pages name must exist, and the glossary must name every setting.
//
// A runnable example is a fenced "sh" block right after the line
// "<!-- runnable -->": each of its lines runs through /bin/sh in a scratch
// folder where build/bin and samples point into the build and the source
// tree, one folder per page so that a line may use what an earlier line of
// the page wrote. A line must end with exit code 0 unless its comment says
// "# exit code N". After "<!-- runnable with trazvik-sim -->" the lines run
// while a trazvik-sim listens on free loopback ports, and the address
// tcp:127.0.0.1:9999:8080 in them is replaced by the simulator's.
#include "sim_process.h"

#include "../common/temp_folder.h"

#include "config/setting_catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>

namespace trazvik {
namespace {

namespace fs = std::filesystem;
using trazvik::sim::test::SimProcess;
using trazvik::testing::readFile;
using trazvik::testing::TempFolder;

const fs::path kSource = TRAZVIK_SOURCE_DIR;
const std::string kSimAddressInPages = "tcp:127.0.0.1:9999:8080";

struct Example {
  std::string page;  // relative to the source folder
  int line = 0;      // of the command in the page, from 1
  std::string command;
  int expectedExit = 0;
  bool withSim = false;
};

std::vector<fs::path> documentationPages() {
  std::vector<fs::path> pages{kSource / "README.md"};
  for (const auto& entry : fs::directory_iterator(kSource / "docs"))
    if (entry.path().extension() == ".md") pages.push_back(entry.path());
  std::sort(pages.begin() + 1, pages.end());
  return pages;
}

std::vector<std::string> linesOf(const fs::path& page) {
  std::vector<std::string> lines;
  std::istringstream in(readFile(page));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

int expectedExitOf(const std::string& command) {
  static const std::regex exitComment(R"(#\s*exit code (\d+))");
  std::smatch m;
  return std::regex_search(command, m, exitComment) ? std::stoi(m[1]) : 0;
}

// The runnable examples of one page; a mark that is not followed by a "sh"
// block is a fault of the page and reported as one.
std::vector<Example> runnableExamples(const fs::path& page) {
  const std::string name = fs::relative(page, kSource).string();
  const std::vector<std::string> lines = linesOf(page);
  std::vector<Example> examples;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const bool plain = lines[i] == "<!-- runnable -->";
    const bool withSim = lines[i] == "<!-- runnable with trazvik-sim -->";
    if (!plain && !withSim) continue;
    if (i + 1 >= lines.size() || lines[i + 1] != "```sh") {
      ADD_FAILURE() << name << ":" << i + 1 << ": a runnable mark must stand right before a ```sh block";
      continue;
    }
    std::size_t j = i + 2;
    for (; j < lines.size() && lines[j].rfind("```", 0) != 0; ++j) {
      std::string command = lines[j];
      const int firstLine = static_cast<int>(j) + 1;
      while (!command.empty() && command.back() == '\\' && j + 1 < lines.size()) {
        command.pop_back();
        command += lines[++j];
      }
      if (command.find_first_not_of(" \t") == std::string::npos) continue;
      examples.push_back({name, firstLine, command, expectedExitOf(command), withSim});
    }
    if (j >= lines.size()) ADD_FAILURE() << name << ":" << i + 2 << ": the runnable block is never closed";
    i = j;
  }
  return examples;
}

std::string singleQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

struct Outcome {
  int exitCode = -1;
  std::string output;
};

// Runs one line in `folder`, with the program's data and lock folders inside
// it so nothing outside the scratch folder is touched.
Outcome runLine(const fs::path& folder, const std::string& command) {
  const std::string shell = "cd " + singleQuoted(folder.string()) +
                            " && XDG_DATA_HOME=" + singleQuoted((folder / "data").string()) +
                            " XDG_RUNTIME_DIR=" + singleQuoted((folder / "runtime").string()) + " /bin/sh -c " +
                            singleQuoted(command) + " 2>&1 </dev/null";
  Outcome outcome;
  std::FILE* pipe = ::popen(shell.c_str(), "r");
  if (!pipe) return outcome;
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) outcome.output.append(buffer, got);
  const int status = ::pclose(pipe);
  outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return outcome;
}

// A scratch folder laid out like the project folder after a build.
void prepareScratch(const fs::path& folder) {
  fs::create_directories(folder / "build");
  fs::create_directories(folder / "runtime");
  fs::permissions(folder / "runtime", fs::perms::owner_all);
  fs::create_directory_symlink(fs::path(TRAZVIK_BIN_DIR), folder / "build" / "bin");
  fs::create_directory_symlink(kSource / "samples", folder / "samples");
}

std::string lastLines(const std::string& text, std::size_t count) {
  std::size_t at = text.size();
  for (std::size_t n = 0; n <= count && at != std::string::npos && at > 0; ++n) at = text.rfind('\n', at - 1);
  return at == std::string::npos ? text : text.substr(at + 1);
}

TEST(DocsExamples, RunAsWritten) {
  std::vector<std::vector<Example>> pages;
  bool anyPlain = false, anyWithSim = false;
  for (const fs::path& page : documentationPages()) {
    pages.push_back(runnableExamples(page));
    for (const Example& e : pages.back()) (e.withSim ? anyWithSim : anyPlain) = true;
  }
  // Without these the marks were lost or misspelt and nothing would be run.
  ASSERT_TRUE(anyPlain) << "no runnable example found in README.md or docs/";
  ASSERT_TRUE(anyWithSim) << "no example runnable with trazvik-sim found in docs/";

  SimProcess sim;
  ASSERT_TRUE(sim.start({"--type", "YFB 32", "--time-scale", "50"})) << sim.output();
  const std::string simAddress =
      "tcp:127.0.0.1:" + std::to_string(sim.commandPort()) + ":" + std::to_string(sim.identityPort());

  for (const std::vector<Example>& examples : pages) {
    if (examples.empty()) continue;
    TempFolder scratch;
    prepareScratch(scratch.path());
    for (const Example& e : examples) {
      std::string command = e.command;
      if (e.withSim) {
        for (std::size_t at = command.find(kSimAddressInPages); at != std::string::npos;
             at = command.find(kSimAddressInPages, at + simAddress.size()))
          command.replace(at, kSimAddressInPages.size(), simAddress);
      }
      const Outcome outcome = runLine(scratch.path(), command);
      EXPECT_EQ(outcome.exitCode, e.expectedExit) << e.page << ":" << e.line << ": " << e.command << "\n"
                                                  << lastLines(outcome.output, 15);
    }
  }
}

// The anchors of a page's headings, as Markdown renderers make them:
// lower case, punctuation dropped, spaces as hyphens.
std::vector<std::string> headingAnchors(const fs::path& page) {
  std::vector<std::string> anchors;
  bool inFence = false;
  for (const std::string& line : linesOf(page)) {
    if (line.rfind("```", 0) == 0) inFence = !inFence;
    if (inFence || line.rfind('#', 0) != 0) continue;
    std::string anchor;
    const std::size_t title = line.find_first_not_of("# ");
    if (title == std::string::npos) continue;
    for (char c : line.substr(title)) {
      const unsigned char u = static_cast<unsigned char>(c);
      if (std::isalnum(u) || c == '-' || c == '_')
        anchor += static_cast<char>(std::tolower(u));
      else if (c == ' ')
        anchor += '-';
    }
    anchors.push_back(anchor);
  }
  return anchors;
}

// Paths in backquotes (src/..., docs/pictures/...), the targets of links and
// pictures, and the sections links point to: a page must not name a file or
// a section that is gone.
TEST(DocsExamples, EveryFileAndSectionAPageNamesExists) {
  static const std::regex quotedPath(
      R"(`((?:src|tools|tests|bench|scripts|cmake|lang|samples|docs|\.ci)/[A-Za-z0-9_./-]+)`)");
  static const std::regex linkTarget(R"(\]\(([^)#:\s]*)(?:#([^)\s]*))?\)|src="([^":]+)\")");
  for (const fs::path& page : documentationPages()) {
    const std::string text = readFile(page);
    const std::string name = fs::relative(page, kSource).string();
    for (std::sregex_iterator m(text.begin(), text.end(), quotedPath), end; m != end; ++m) {
      const std::string path = (*m)[1];
      if (path.back() == '/') {
        EXPECT_TRUE(fs::is_directory(kSource / path)) << name << " names the folder " << path;
      } else {
        EXPECT_TRUE(fs::exists(kSource / path)) << name << " names " << path;
      }
    }
    for (std::sregex_iterator m(text.begin(), text.end(), linkTarget), end; m != end; ++m) {
      const std::string file = (*m)[3].matched ? (*m)[3].str() : (*m)[1].str();
      const std::string anchor = (*m)[2];
      const fs::path target = file.empty() ? page : page.parent_path() / file;
      if (!fs::exists(target)) {
        ADD_FAILURE() << name << " links to " << file;
        continue;
      }
      if (anchor.empty() || target.extension() != ".md") continue;
      const std::vector<std::string> anchors = headingAnchors(target);
      const bool found = std::find(anchors.begin(), anchors.end(), anchor) != anchors.end();
      EXPECT_TRUE(found) << name << " links to the section #" << anchor << " of "
                         << fs::relative(target, kSource).string() << ", which has no such heading";
    }
  }
}

TEST(DocsExamples, GlossaryNamesEverySetting) {
  const std::string glossary = readFile(kSource / "docs" / "glossary.md");
  const auto named = [&](std::string_view name) {
    return glossary.find("`" + std::string(name) + "`") != std::string::npos;
  };
  for (const config::SettingDef& def : config::settingCatalogue())
    EXPECT_TRUE(named(def.name)) << "docs/glossary.md has no line for the setting " << def.name;
  for (const config::TabDef& tab : config::settingTabs())
    EXPECT_TRUE(named(tab.name)) << "docs/glossary.md has no line for the settings page " << tab.name;
  for (const config::GroupDef& group : config::settingGroups())
    EXPECT_TRUE(named(group.name)) << "docs/glossary.md has no line for the settings group " << group.name;
  for (const config::ActionDef& action : config::settingActions())
    EXPECT_TRUE(named(action.name)) << "docs/glossary.md has no line for the settings button " << action.name;
}

}  // namespace
}  // namespace trazvik
