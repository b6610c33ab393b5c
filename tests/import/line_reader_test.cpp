#include "import/thpgl.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace trazvik::import {
namespace {

class LineReader : public ::testing::Test {
 protected:
  // Opens content as a DXF file: the first line read is a code line.
  void open(const std::string& content) {
    trazvik::testing::writeFile(folder_ / "lines.dxf", content);
    ASSERT_EQ(reader_.open((folder_ / "lines.dxf").string(), kFileTypeDxf, false), 0);
  }
  std::vector<std::string> allLines() {
    std::vector<std::string> lines;
    std::string line;
    while (!reader_.EndOfFile) {
      reader_.readLine(line);
      lines.push_back(line);
    }
    return lines;
  }

  trazvik::testing::TempFolder folder_;
  Thpgl reader_;
};

TEST_F(LineReader, EveryLineEndAndEmptyLines) {
  struct Case {
    const char* what;
    std::string content;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"CR LF", "0\r\nSECTION\r\n", {"0", "SECTION"}},
      {"LF", "0\nSECTION\n", {"0", "SECTION"}},
      {"CR", "0\rSECTION\r", {"0", "SECTION"}},
      {"no final break", "0\r\nEOF", {"0", "EOF"}},
      {"empty lines with LF", "1\n\n2\n", {"1", "", "2"}},
      {"empty lines with CR LF", "1\r\n\r\n2\r\n", {"1", "", "2"}},
      {"mixed", "1\r\n2\n\r3\r\n", {"1", "2", "", "3"}},
      {"blanks stay", "  10 \r\n", {"  10 "}},
  };
  for (const Case& c : cases) {
    open(c.content);
    EXPECT_EQ(allLines(), c.lines) << c.what;
  }
  open("");
  EXPECT_TRUE(reader_.EndOfFile);
}

TEST_F(LineReader, CodeAndValueLinesAlternate) {
  open("  0\r\nsection\r\n  2\r\nENTITIES\r\n");
  std::string line;
  reader_.readLine(line);
  EXPECT_TRUE(reader_.kod("0", line));
  EXPECT_FALSE(reader_.wartosc("0", line));  // a code line is no value line
  reader_.readLine(line);
  EXPECT_TRUE(reader_.wartosc("SECTION", line));  // case does not matter
  EXPECT_FALSE(reader_.kod("SECTION", line));
  reader_.readLine(line);
  EXPECT_TRUE(reader_.kod("2", line));
  EXPECT_FALSE(reader_.kod("0", line));
  reader_.readLine(line);
  EXPECT_TRUE(reader_.wartosc("entities", line));
  EXPECT_TRUE(reader_.EndOfFile);
}

TEST_F(LineReader, NumbersFromLines) {
  open("10\r\n 12.5 \r\n20\r\n-3,25\r\n30\r\n\r\n 70\r\n1e3\r\n");
  std::int32_t code = -1;
  double value = -1;
  ASSERT_TRUE(reader_.readIntLine(code));
  EXPECT_EQ(code, 10);
  ASSERT_TRUE(reader_.readRealLine(value));
  EXPECT_DOUBLE_EQ(value, 12.5);
  ASSERT_TRUE(reader_.readIntLine(code));
  ASSERT_TRUE(reader_.readRealLine(value));
  EXPECT_DOUBLE_EQ(value, -3.25);  // a comma is a decimal separator too
  ASSERT_TRUE(reader_.readIntLine(code));
  EXPECT_EQ(code, 30);
  ASSERT_TRUE(reader_.readRealLine(value));
  EXPECT_DOUBLE_EQ(value, -3.25);  // an empty line leaves the value
  ASSERT_TRUE(reader_.readIntLine(code));
  EXPECT_EQ(code, 70);
  ASSERT_TRUE(reader_.readRealLine(value));
  EXPECT_DOUBLE_EQ(value, 1000);
  EXPECT_FALSE(reader_.failed());
}

TEST_F(LineReader, MalformedNumbersAndHugeLinesFailWithThePlace) {
  struct Case {
    std::string content;
    bool real;
    tReadErrorKind kind;
    std::uint64_t offset;
    std::string token;
  };
  const Case cases[] = {
      {"0\r\n12x\r\n", true, tReadErrorKind::BadNumber, 3, "12x"},
      {"0\r\n1.2.3\r\n", true, tReadErrorKind::BadNumber, 3, "1.2.3"},
      {"0\r\nnan\r\n", true, tReadErrorKind::BadNumber, 3, "nan"},
      {"0\r\n 7.5\r\n", false, tReadErrorKind::BadWholeNumber, 3, "7.5"},
      {"0\r\n99999999999\r\n", false, tReadErrorKind::BadWholeNumber, 3, "99999999999"},
      {"0\r\n" + std::string(Thpgl::kMaxLineLength + 10, '7') + "\r\n", false, tReadErrorKind::LineTooLong, 3,
       std::string(40, '7') + "..."},
  };
  for (const Case& c : cases) {
    open(c.content);
    std::string first;
    reader_.readLine(first);
    double real = 0;
    std::int32_t whole = 0;
    EXPECT_FALSE(c.real ? reader_.readRealLine(real) : reader_.readIntLine(whole)) << c.token;
    ASSERT_TRUE(reader_.failed()) << c.token;
    EXPECT_TRUE(reader_.EndOfFile);
    EXPECT_EQ(reader_.error().kind, c.kind) << c.token;
    EXPECT_EQ(reader_.error().offset, c.offset) << c.token;
    EXPECT_EQ(reader_.error().token, c.token);
  }
}

}  // namespace
}  // namespace trazvik::import
