// A job that cannot be written completely is reported with its path and
// reason and leaves no file that could be sent; a good one replaces the
// old job whole; the output mode decides what is written.
#include "job_writer_fixture.h"

#include "job/hpgl_export.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace trazvik::test {
namespace {

namespace fs = std::filesystem;

class JobFileTest : public JobWriterTest {
 protected:
  void SetUp() override {
    JobWriterTest::SetUp();
    dir_ = fs::path(::testing::TempDir()) /
           ("trazvik_job_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  // Files in the folder besides `keep` and its figure index.
  std::vector<std::string> strays(const std::string& keep = "") {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir_))
      if (keep.empty() || (e.path().filename() != keep && e.path().filename() != keep + ".idx"))
        out.push_back(e.path().filename().string());
    return out;
  }

  fs::path dir_;
  const tMachineState router_ = jobMachineFor("YFB 32", 7, 20);
};

TEST_F(JobFileTest, WrittenJobEqualsTheStreamedBytes) {
  addSquare(8.99);
  const fs::path out = dir_ / "out.cnx";
  std::ofstream(out) << "previous job";
  const tJobResult r = writeJob(*project_, konfig_, router_, out, {});
  ASSERT_TRUE(r.ok) << r.error;
  write(router_);
  const std::string file = read(out);
  EXPECT_EQ(file, std::string(bytes_.begin(), bytes_.end()));
  EXPECT_EQ(r.bytes, file.size());
  EXPECT_TRUE(strays("out.cnx").empty());
}

TEST_F(JobFileTest, MissingFolderNamesThePathAndWritesNothing) {
  addSquare(8.99);
  const fs::path out = dir_ / "no such folder" / "out.cnx";
  const tJobResult r = writeJob(*project_, konfig_, router_, out, {});
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find(out.string()), std::string::npos) << r.error;
  EXPECT_NE(r.error.find("No such file or directory"), std::string::npos) << r.error;
  EXPECT_FALSE(fs::exists(out));
  EXPECT_TRUE(strays().empty());
}

TEST_F(JobFileTest, FullDeviceStopsTheStreamWithTheReason) {
  const int fd = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
  if (fd < 0) GTEST_SKIP() << "no /dev/full here";
  addSquare(8.99);
  tFdSink sink(fd, "/dev/full");
  const tJobResult r = writeJobTo(sink, *project_, jobSettingsOf(konfig_), router_, {});
  ::close(fd);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("/dev/full"), std::string::npos) << r.error;
  EXPECT_NE(r.error.find("No space left on device"), std::string::npos) << r.error;
}

// The file size limit of the process makes the disk "full" after a few
// hundred bytes: the write fails half way, in a child process so the limit
// stays there.
TEST_F(JobFileTest, WriteFailureHalfWayLeavesTheOldJobAndNoTemporary) {
  for (int i = 0; i < 50; ++i) addSquare(8.99, 800.0 * (i % 10), 800.0 * (i / 10));
  const fs::path out = dir_ / "out.cnx";
  std::ofstream(out) << "previous job";
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit lim{1000, 1000};
    ::setrlimit(RLIMIT_FSIZE, &lim);
    const tJobResult r = writeJob(*project_, konfig_, router_, out, {});
    const bool named =
        r.error.find(out.string()) != std::string::npos && r.error.find("File too large") != std::string::npos;
    ::_exit(!r.ok && named ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the writer did not report the failed write with path and reason";
  EXPECT_EQ(read(out), "previous job");
  EXPECT_TRUE(strays("out.cnx").empty());
}

TEST_F(JobFileTest, MoveBeyondTheControllersFieldsFailsWithoutAFile) {
  addFigure({{0, 0, 0}, {40.0 * 20000, 0, 0}, {0, 0, 0}});  // a 20 m stroke: 20 000 000 steps at once
  const fs::path out = dir_ / "out.cnx";
  const tJobResult r = writeJob(*project_, konfig_, router_, out, {});
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find(out.string()), std::string::npos) << r.error;
  EXPECT_NE(r.error.find("X axis"), std::string::npos) << r.error;
  EXPECT_FALSE(fs::exists(out));
  EXPECT_TRUE(strays().empty());
}

TEST_F(JobFileTest, FigureRangeOutsideTheProjectIsRefused) {
  addSquare(8.99);
  tJobRequest figures0To3;
  figures0To3.first = 0;
  figures0To3.last = 3;
  const tJobResult r = writeJob(*project_, konfig_, router_, dir_ / "out.cnx", figures0To3);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("not in the project"), std::string::npos) << r.error;
  EXPECT_FALSE(fs::exists(dir_ / "out.cnx"));
}

// The memory a job needs follows its largest figure: the sink gets one
// chunk per figure, never the whole job.
TEST_F(JobFileTest, JobIsStreamedFigureByFigure) {
  struct Chunks : tByteSink {
    void write(std::span<const std::uint8_t> b) override {
      sizes.push_back(b.size());
      total += b.size();
    }
    std::uint64_t size() const override { return total; }
    std::vector<std::size_t> sizes;
    std::uint64_t total = 0;
  } chunks;
  for (int i = 0; i < 20; ++i) addSquare(8.99, 800.0 * i, 0);
  const tJobResult r = writeJobTo(chunks, *project_, jobSettingsOf(konfig_), router_, {});
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(chunks.sizes.size(), 22u);  // header, 20 figures, trailer
  for (std::size_t i = 2; i < 21; ++i) EXPECT_EQ(chunks.sizes[i], chunks.sizes[1]);
  EXPECT_LT(chunks.sizes[1] * 10, chunks.total);
}

// The output mode decides what is written: 4 a job, 1 the HPGL text of
// the figures without job header or trailer, any other an empty file.
TEST_F(JobFileTest, OutputModeDecidesWhatIsWritten) {
  addSquare(8.99);
  const fs::path out = dir_ / "out.cnx";
  tJobRequest request;
  request.last = 0;
  ASSERT_TRUE(writeJob(*project_, konfig_, router_, out, request).ok);
  write(router_, request);
  EXPECT_EQ(read(out), std::string(bytes_.begin(), bytes_.end()));

  request.outputMode = kOutputHpgl;
  ASSERT_TRUE(writeJob(*project_, konfig_, router_, out, request).ok);
  EXPECT_EQ(read(out), hpglExportText({project_->fig[0].get()}, konfig_.flag("WszystkieWjednej")));
  EXPECT_EQ(read(out).rfind("SP 1;\r\nPA 0,0;\r\n", 0), 0u) << read(out);

  request.outputMode = 7;
  ASSERT_TRUE(writeJob(*project_, konfig_, router_, out, request).ok);
  EXPECT_EQ(fs::file_size(out), 0u);
}

}  // namespace
}  // namespace trazvik::test
