#include "base/atomic_file.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace trazvik::base {
namespace {

using testing::readFile;
using testing::TempFolder;
using testing::writeFile;

std::vector<std::string> namesIn(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(AtomicFile, WritesExactlyTheNewContentAndNothingElse) {
  struct Case {
    const char* name;
    std::optional<std::string> before;
    std::string content;
  };
  const std::string binary("a\0b\r\n\xff", 6);
  const Case cases[] = {
      {"new file", std::nullopt, "line 1\r\nline 2\r\n"},
      {"longer file replaced by a shorter one", std::string(5000, 'x'), "short"},
      {"emptied", "something", ""},
      {"binary bytes kept as they are", "old", binary},
      {"large content", std::nullopt, std::string(3'000'000, 'z')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    const auto target = folder / "Settings.mcc";
    if (c.before) writeFile(target, *c.before);
    std::string error;
    ASSERT_TRUE(writeFileAtomically(target, c.content, &error)) << error;
    EXPECT_EQ(readFile(target), c.content);
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"Settings.mcc"}) << "a temporary file was left";
  }
}

TEST(AtomicFile, KeepsThePermissionsOfTheReplacedFile) {
  TempFolder folder;
  const auto target = folder / "Halvorek.cfg";
  writeFile(target, "old");
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  ASSERT_TRUE(writeFileAtomically(target, "new"));
  struct stat info {};
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(AtomicFile, ReplacesTheFileBehindASymbolicLink) {
  TempFolder folder;
  const auto real = folder / "real.txt";
  const auto link = folder / "link.txt";
  writeFile(real, "old");
  std::filesystem::create_symlink(real, link);
  ASSERT_TRUE(writeFileAtomically(link, "new"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(readFile(real), "new");
}

TEST(AtomicFile, FailureLeavesTheFolderAsItWasAndSaysWhy) {
  TempFolder folder;
  std::string error;

  EXPECT_FALSE(writeFileAtomically(folder / "missing" / "a.txt", "x", &error));
  EXPECT_NE(error.find("missing"), std::string::npos) << error;
  EXPECT_TRUE(namesIn(folder.path()).empty());

  // A folder where the file should go: the rename fails after the write.
  std::filesystem::create_directory(folder / "taken");
  writeFile(folder / "taken" / "inside", "kept");
  error.clear();
  EXPECT_FALSE(writeFileAtomically(folder / "taken", "x", &error));
  EXPECT_NE(error.find("taken"), std::string::npos) << error;
  EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"taken"});
  EXPECT_EQ(readFile(folder / "taken" / "inside"), "kept");

  EXPECT_FALSE(writeFileAtomically("", "x", &error));
}

// A disk that fills up in the middle of the write (simulated by a file size
// limit in a child process) must leave the previous file whole.
TEST(AtomicFile, AWriteThatRunsOutOfSpaceKeepsThePreviousFile) {
  TempFolder folder;
  const auto target = folder / "Settings.mcc";
  const std::string previous = "WorkSpeed=100\r\n";
  writeFile(target, previous);

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::string error;
    const bool ok = writeFileAtomically(target, std::string(100'000, 'y'), &error);
    ::_exit(ok ? 0 : (error.find("Settings.mcc") != std::string::npos ? 42 : 43));
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 42) << "the write should fail with a message naming the file";
  EXPECT_EQ(readFile(target), previous);
  EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"Settings.mcc"});
}

}  // namespace
}  // namespace trazvik::base
