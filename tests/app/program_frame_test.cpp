#include "app/program_frame.h"

#include "base/version_text.h"
#include "texts/recording_message_boxes.h"

#include "../common/temp_folder.h"
#include "../common/environment.h"

#include <gtest/gtest.h>

namespace trazvik::app {
namespace {

using testing::environmentOf;
using testing::TempFolder;
using testing::writeFile;

std::string languageFile(const std::string& versionWord) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<interface name=\"Trazvik\" version=\"" +
         base::programMajorMinorVersion() +
         "\"><Main_window>"
         "<msgWersja str=\"" +
         versionWord +
         "\"/>"
         "<pracujeTylkoZploterem str=\"only with\"/>"
         "<nieMoznaUtworzycKatalogu str=\"Cannot create\"/>"
         "<msgKoniecPracyProgramu str=\"The end\"/>"
         "<msgMutex1 str=\"m1\"/><msgMutex2 str=\"m2\"/><msgMutex3 str=\"m3\"/><msgMutex4 str=\"m4\"/>"
         "</Main_window></interface>\n";
}

// A program folder with language files, a user data folder and a runtime
// folder, all inside one temporary folder.
struct World {
  TempFolder root;
  texts::RecordingMessageBoxes boxes;

  World() {
    std::filesystem::create_directories(root / "bin");
    std::filesystem::create_directories(root / "run");
    writeFile(root / "bin" / "Trazvik_US.xml", languageFile("version"));
    writeFile(root / "bin" / "Trazvik_PL.xml", languageFile("wersja"));
  }
  ProgramFrame::Setup setup(std::vector<std::string> arguments) const {
    ProgramFrame::Setup s;
    s.commandLine = base::CommandLine(std::move(arguments));
    s.programDirectory = (root / "bin").string();
    s.environment = environmentOf({{"XDG_DATA_HOME", (root / "share").string()},
                                   {"XDG_RUNTIME_DIR", (root / "run").string()},
                                   {"LANG", "de_DE.UTF-8"}});
    return s;
  }
};

TEST(ProgramFrame, AFreshStartCreatesTheDataFolderAndLoadsTheTexts) {
  World world;
  ProgramFrame frame(world.boxes);
  ASSERT_EQ(frame.start(world.setup({"service", "PL"})), ProgramFrame::Outcome::Ready);
  EXPECT_EQ(frame.programDirectory(), world.root.text() + "bin/");
  EXPECT_EQ(frame.dataDirectory(), world.root.text() + "share/Dornelis/Trazvik/");
  EXPECT_TRUE(std::filesystem::is_directory(frame.dataDirectory()));
  EXPECT_TRUE(frame.switches().serviceMode);
  EXPECT_EQ(frame.texts().skrotJez(), "PL");
  EXPECT_EQ(frame.caption(), "Trazvik   wersja " + base::programVersionText());
  EXPECT_TRUE(world.boxes.messages().empty());
}

TEST(ProgramFrame, TheLanguageComesFromTheLocaleWhenNoSwitchIsGiven) {
  World world;
  ProgramFrame frame(world.boxes);
  ASSERT_EQ(frame.start(world.setup({})), ProgramFrame::Outcome::Ready);
  EXPECT_EQ(frame.texts().skrotJez(), "DE");  // from LANG; no German file, so English texts
  EXPECT_EQ(frame.texts().dajTxt("Main_window", "msgWersja"), "version");
}

TEST(ProgramFrame, TheDataDirOptionChoosesTheFolder) {
  World world;
  ProgramFrame frame(world.boxes);
  const std::string chosen = world.root.text() + "cut/jobs";
  ASSERT_EQ(frame.start(world.setup({"dataDir='" + chosen + "'"})), ProgramFrame::Outcome::Ready);
  EXPECT_EQ(frame.dataDirectory(), chosen + "/");
  EXPECT_TRUE(std::filesystem::is_directory(chosen));
  EXPECT_FALSE(std::filesystem::exists(world.root / "share"));
}

TEST(ProgramFrame, ADataFolderThatCannotBeCreatedEndsTheStartWithAMessage) {
  World world;
  writeFile(world.root / "blocked", "a file, not a folder");
  ProgramFrame frame(world.boxes);
  const std::string folder = world.root.text() + "blocked/data/";
  EXPECT_EQ(frame.start(world.setup({"dataDir='" + folder + "'"})), ProgramFrame::Outcome::NoDataDirectory);
  ASSERT_EQ(world.boxes.messages().size(), 1u);
  EXPECT_TRUE(world.boxes.messages()[0].error);
  EXPECT_EQ(world.boxes.messages()[0].text.rfind("Cannot create\n\r" + folder, 0), 0u)
      << world.boxes.messages()[0].text;
}

TEST(ProgramFrame, WithoutALanguageFileTheStartEndsAfterTheDataFolderIsFixed) {
  World world;
  std::filesystem::remove(world.root / "bin" / "Trazvik_US.xml");
  std::filesystem::remove(world.root / "bin" / "Trazvik_PL.xml");
  ProgramFrame frame(world.boxes);
  EXPECT_EQ(frame.start(world.setup({})), ProgramFrame::Outcome::NoLanguageFile);
  ASSERT_EQ(world.boxes.messages().size(), 1u);
  EXPECT_EQ(world.boxes.messages()[0].caption, "Configuration error");
  // The event log may still record the attempt: the data folder exists.
  EXPECT_TRUE(std::filesystem::is_directory(frame.dataDirectory()));
}

TEST(ProgramFrame, ASecondCopyIsStoppedUnlessBoundToOneMachine) {
  World world;
  ProgramFrame first(world.boxes);
  ASSERT_EQ(first.start(world.setup({})), ProgramFrame::Outcome::Ready);
  EXPECT_TRUE(first.applySingleInstanceRule());
  EXPECT_TRUE(first.applySingleInstanceRule());  // again: nothing changes
  EXPECT_TRUE(first.holdsSingleInstanceLock());

  texts::RecordingMessageBoxes secondBoxes;
  ProgramFrame second(secondBoxes);
  ASSERT_EQ(second.start(world.setup({})), ProgramFrame::Outcome::Ready);
  EXPECT_FALSE(second.applySingleInstanceRule());
  ASSERT_EQ(secondBoxes.messages().size(), 1u);
  EXPECT_EQ(secondBoxes.messages()[0].caption, "The end");
  EXPECT_EQ(secondBoxes.messages()[0].text, "m1\r\n\r\nm2\r\n\r\nm3\r\n\r\nm4");
  EXPECT_TRUE(secondBoxes.messages()[0].error);

  texts::RecordingMessageBoxes boundBoxes;
  ProgramFrame bound(boundBoxes);
  ASSERT_EQ(bound.start(world.setup({"OnlyMachine='M1'"})), ProgramFrame::Outcome::Ready);
  EXPECT_TRUE(bound.applySingleInstanceRule());
  EXPECT_FALSE(bound.holdsSingleInstanceLock());
  EXPECT_TRUE(boundBoxes.messages().empty());
}

TEST(ProgramFrame, CaptionWithMachineFilterAndBaseCheck) {
  World world;
  ProgramFrame frame(world.boxes);
  ASSERT_EQ(frame.start(world.setup({})), ProgramFrame::Outcome::Ready);
  const auto caption = [&](std::vector<std::string> arguments) {
    return mainWindowCaption(frame.texts(), "3.50.1.7",
                             base::readStartupSwitches(base::CommandLine(std::move(arguments))));
  };
  EXPECT_EQ(caption({}), "Trazvik   version 3.50.1.7");
  EXPECT_EQ(caption({"OnlyMachine='M1'"}), "Trazvik   version 3.50.1.7      only with M1");
  EXPECT_EQ(caption({"CHECKBASE=30"}), "Trazvik   version 3.50.1.7        <<< UWAGA! Włączona opcja CheckBase >>>");
}

}  // namespace
}  // namespace trazvik::app
