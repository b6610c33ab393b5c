#include "base/directories.h"
#include "base/single_instance.h"

#include "../common/temp_folder.h"
#include "../common/environment.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace trazvik::base {
namespace {

using testing::environmentOf;
using testing::TempFolder;

TEST(Directories, TheDataFolderFollowsTheUsersDataFolderOrTheOption) {
  const std::string cwd = std::filesystem::current_path().string();
  const std::tuple<std::map<std::string, std::string>, std::optional<std::string>, std::string> cases[] = {
      {{{"XDG_DATA_HOME", "/data"}, {"HOME", "/home/op"}}, std::nullopt, "/data/Dornelis/Trazvik/"},
      {{{"XDG_DATA_HOME", "/data/"}}, std::nullopt, "/data/Dornelis/Trazvik/"},
      {{{"HOME", "/home/op"}}, std::nullopt, "/home/op/.local/share/Dornelis/Trazvik/"},
      {{{"XDG_DATA_HOME", ""}, {"HOME", "/home/op"}}, std::nullopt, "/home/op/.local/share/Dornelis/Trazvik/"},
      {{{"XDG_DATA_HOME", "relative"}, {"HOME", "/home/op"}}, std::nullopt, "/home/op/.local/share/Dornelis/Trazvik/"},
      {{{"XDG_DATA_HOME", "/data"}}, "/srv/cut", "/srv/cut/"},
      {{{"XDG_DATA_HOME", "/data"}}, "/srv/cut/", "/srv/cut/"},
      {{}, "jobs", cwd + "/jobs/"},
      {{}, "", ""},  // an empty option names no folder; creating it fails with a message
  };
  for (const auto& [variables, option, expected] : cases) {
    EXPECT_EQ(dataDirectoryFor(option, environmentOf(variables)), expected) << option.value_or("(none)");
  }
}

TEST(Directories, TheProgramFolderIsThatOfTheRunningFile) {
  const std::string folder = programFileDirectory();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_TRUE(std::filesystem::exists(folder + "test_app"));
}

TEST(Directories, EnsureDirectoryCreatesParentsAndReportsWhatIsInTheWay) {
  TempFolder folder;
  const std::string nested = folder.text() + "a/b/c/";
  EXPECT_TRUE(ensureDirectory(nested));
  EXPECT_TRUE(std::filesystem::is_directory(nested));
  EXPECT_TRUE(ensureDirectory(nested));  // already there

  testing::writeFile(folder / "file", "x");
  std::string reason;
  EXPECT_FALSE(ensureDirectory(folder.text() + "file/sub/", &reason));
  EXPECT_FALSE(reason.empty());
  EXPECT_FALSE(ensureDirectory(folder.text() + "file", &reason));
  EXPECT_FALSE(ensureDirectory("", &reason));
}

TEST(SingleInstance, TheLockFileLivesInTheRuntimeFolder) {
  TempFolder folder;
  EXPECT_EQ(SingleInstanceLock::lockFilePath(environmentOf({{"XDG_RUNTIME_DIR", folder.path().string()}})),
            folder.text() + "Trazvik");
  // Without a usable runtime folder: a private folder of this user in the temporary folder.
  const std::string fallback =
      SingleInstanceLock::lockFilePath(environmentOf({{"XDG_RUNTIME_DIR", "/no/such/dir"}, {"TMPDIR", folder.text()}}));
  EXPECT_EQ(fallback, folder.text() + "trazvik-" + std::to_string(::getuid()) + "/Trazvik");
  struct stat info {};
  ASSERT_EQ(::stat((folder.text() + "trazvik-" + std::to_string(::getuid())).c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST(SingleInstance, OnlyOneHolderAtATime) {
  TempFolder folder;
  const std::string path = folder.text() + "Trazvik";
  SingleInstanceLock first;
  SingleInstanceLock second;
  EXPECT_EQ(first.acquire(path), SingleInstanceLock::Outcome::Acquired);
  EXPECT_TRUE(first.held());
  EXPECT_EQ(second.acquire(path), SingleInstanceLock::Outcome::HeldByAnotherCopy);
  EXPECT_FALSE(second.held());
  first.release();
  EXPECT_EQ(second.acquire(path), SingleInstanceLock::Outcome::Acquired);

  std::string reason;
  SingleInstanceLock third;
  EXPECT_EQ(third.acquire(folder.text() + "missing/Trazvik", &reason), SingleInstanceLock::Outcome::Failed);
  EXPECT_NE(reason.find("missing"), std::string::npos);
}

// A copy that dies without cleaning up must not keep the next one out.
TEST(SingleInstance, TheLockDiesWithItsProcess) {
  TempFolder folder;
  const std::string path = folder.text() + "Trazvik";
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    SingleInstanceLock lock;
    const char result = lock.acquire(path) == SingleInstanceLock::Outcome::Acquired ? 'y' : 'n';
    (void)!::write(ready[1], &result, 1);
    ::pause();  // held until killed
    ::_exit(0);
  }
  ::close(ready[1]);
  char result = 0;
  ASSERT_EQ(::read(ready[0], &result, 1), 1);
  ::close(ready[0]);
  EXPECT_EQ(result, 'y');

  SingleInstanceLock mine;
  EXPECT_EQ(mine.acquire(path), SingleInstanceLock::Outcome::HeldByAnotherCopy);
  ::kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_EQ(mine.acquire(path), SingleInstanceLock::Outcome::Acquired);
}

}  // namespace
}  // namespace trazvik::base
