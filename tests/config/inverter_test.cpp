// The inverter parameter file and the commands that carry it.
#include "config/inverter_parameters.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>

namespace trazvik::config {
namespace {

TEST(InverterParameters, CommandBytesAreLittleEndianAfterTheBracket) {
  EXPECT_EQ(inverterCommand({1025, 300, 1}), std::string("[\x01\x04\x2C\x01", 5));
  EXPECT_EQ(inverterCommand({0, 0xFFFF, 1}), std::string("[\x00\x00\xFF\xFF", 5));
}

TEST(InverterParameters, FileChosenByTheThirdCharacterOfTheMachineType) {
  EXPECT_EQ(inverterFileName("YFF"), "3g3MV.dat");
  EXPECT_EQ(inverterFileName("EFV"), "3g3jv.dat");
  EXPECT_EQ(inverterFileName("YfF"), "3g3MV.dat");
  EXPECT_EQ(inverterFileName("RZ"), "3g3jv.dat");
  EXPECT_EQ(inverterFileName(""), "3g3jv.dat");
}

TEST(InverterParameters, LinesWithCommentsBlankLinesAnd16BitValues) {
  const InverterFile file = readInverterParameters("1025 300 max frequency\r\n\r\n  3\t-1\n70000 2\r\n", "3g3jv.dat");
  ASSERT_TRUE(file.error.empty()) << file.error;
  ASSERT_EQ(file.parameters.size(), 3u);
  EXPECT_EQ(file.parameters[0].number, 1025);
  EXPECT_EQ(file.parameters[0].value, 300);
  EXPECT_EQ(file.parameters[1].value, 0xFFFF);
  EXPECT_EQ(file.parameters[1].line, 3);
  EXPECT_EQ(file.parameters[2].number, 70000 & 0xFFFF);
}

TEST(InverterParameters, SendsEachParameterThenWaits) {
  testing::TempFolder program;
  testing::writeFile(program / "3g3MV.dat", "1025 300 first\r\n2 7\r\n");
  std::vector<std::string> sent;
  std::vector<int> waits;
  const std::string error = sendInverterParameters(
      program.path(), "YFF",
      [&](const std::string& bytes) {
        sent.push_back(bytes);
        return true;
      },
      [&](int ms) { waits.push_back(ms); });
  EXPECT_EQ(error, "");
  EXPECT_EQ(sent, (std::vector<std::string>{std::string("[\x01\x04\x2C\x01", 5), std::string("[\x02\x00\x07\x00", 5)}));
  EXPECT_EQ(waits, (std::vector<int>{80, 80}));
}

TEST(InverterParameters, MissingFileSendsNothingAndBadLineSendsNothing) {
  testing::TempFolder program;
  int sends = 0;
  const auto send = [&](const std::string&) {
    ++sends;
    return true;
  };
  EXPECT_EQ(sendInverterParameters(program.path(), "EFV", send, nullptr), "");
  testing::writeFile(program / "3g3jv.dat", "1 2\r\n3 x\r\n5 6\r\n");
  const std::string error = sendInverterParameters(program.path(), "EFV", send, nullptr);
  EXPECT_NE(error.find("3g3jv.dat, line 2"), std::string::npos) << error;
  EXPECT_EQ(sends, 0);
}

TEST(InverterParameters, LinkFailureStopsTheSending) {
  testing::TempFolder program;
  testing::writeFile(program / "3g3jv.dat", "1 2\r\n3 4\r\n");
  int sends = 0;
  const std::string error = sendInverterParameters(
      program.path(), "EFV", [&](const std::string&) { return ++sends < 1; }, nullptr);
  EXPECT_EQ(sends, 1);
  EXPECT_NE(error.find("line 1"), std::string::npos) << error;
}

}  // namespace
}  // namespace trazvik::config
