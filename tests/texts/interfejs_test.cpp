#include "texts/interfejs.h"

#include "texts/recording_message_boxes.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>

namespace trazvik::texts {
namespace {

using testing::TempFolder;
using testing::writeFile;

constexpr const char* kVersion = "3.50";

std::string languageFile(const std::string& wording,
                         const std::string& root = "interface name=\"Trazvik\" version=\"3.50\"") {
  const std::string rootName = root.substr(0, root.find(' '));
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<" + root +
         ">\n"
         "  <Main_window>\n"
         "    <msgWersja str=\"" +
         wording +
         "\"/>\n"
         "    <bezTekstu/>\n"
         "    <msgBrakMożliwościCofniecia str=\"" +
         wording +
         " cofanie\"/>\n"
         "  </Main_window>\n"
         "  <Other><wlacz str=\"&amp; &lt;on&gt; &#x105;\"/></Other>\n"
         "</" +
         rootName + ">\n";
}

struct Fixture {
  TempFolder folder;
  RecordingMessageBoxes boxes;
  tInterfejs texts{boxes};

  void put(const std::string& code, const std::string& content) {
    writeFile(folder / ("Trazvik_" + code + ".xml"), content);
  }
  bool create(std::vector<std::string> arguments, int country) {
    return texts.Create(folder.text(), base::CommandLine(std::move(arguments)), country, kVersion);
  }
};

TEST(Interfejs, LoadsTheFileOfTheChosenLanguage) {
  Fixture f;
  f.put("PL", languageFile("wersja"));
  f.put("US", languageFile("version"));
  ASSERT_TRUE(f.create({}, 48));
  EXPECT_TRUE(f.texts.langOk());
  EXPECT_EQ(f.texts.skrotJez(), "PL");
  EXPECT_EQ(f.texts.country(), 48);
  EXPECT_EQ(f.texts.dajTxt("Main_window", "msgWersja"), "wersja");
  EXPECT_EQ(f.texts.loadedFile(), f.folder.text() + "Trazvik_PL.xml");
  EXPECT_TRUE(f.boxes.messages().empty());

  Fixture g;
  g.put("PL", languageFile("wersja"));
  g.put("US", languageFile("version"));
  ASSERT_TRUE(g.create({"US"}, 48));
  EXPECT_EQ(g.texts.dajTxt("Main_window", "msgWersja"), "version");
}

TEST(Interfejs, FallsBackToEnglishButKeepsTheChosenCode) {
  Fixture f;
  f.put("US", languageFile("version"));
  ASSERT_TRUE(f.create({}, 48));
  EXPECT_EQ(f.texts.dajTxt("Main_window", "msgWersja"), "version");
  EXPECT_EQ(f.texts.skrotJez(), "PL");
  EXPECT_EQ(f.texts.country(), 48);
}

TEST(Interfejs, WithoutAnyFileTheProgramCannotWork) {
  Fixture f;
  f.put("PL", languageFile("wersja"));  // present, but German is asked for and English is missing
  EXPECT_FALSE(f.create({"DE"}, 48));
  EXPECT_FALSE(f.texts.langOk());
  ASSERT_EQ(f.boxes.messages().size(), 1u);
  const auto& message = f.boxes.messages()[0];
  EXPECT_EQ(message.caption, "Configuration error");
  EXPECT_TRUE(message.error);
  EXPECT_EQ(message.text, "Application could't work without file: \r\n" + f.folder.text() + "Trazvik_US.xml");
  EXPECT_EQ(f.texts.dajTxt("Main_window", "msgWersja"), "error");
}

TEST(Interfejs, RejectsFilesThatAreNotLanguageFilesOfThisVersion) {
  struct Case {
    const char* name;
    std::string content;
    std::string messageStart;
  };
  const std::string corrupt = "Corruption detected in file: \r\n";
  const std::string invalid = "Invalid file structure: \r\n";
  const std::string incompatible = "Incompatibile file version: \r\n";
  const Case cases[] = {
      {"empty file", "", corrupt},
      {"only a declaration", "<?xml version=\"1.0\"?>\n", corrupt},
      {"not well-formed", "<interface name=\"Trazvik\" version=\"3.50\"><Main_window></interface>", corrupt},
      {"binary garbage", std::string("\x01\x02\xff\xfe\x00garbage", 12), corrupt},
      {"unknown encoding", "<?xml version=\"1.0\" encoding=\"no-such-code\"?><interface/>", corrupt},
      {"other root", languageFile("x", "interfejs name=\"Trazvik\" version=\"3.50\""), invalid},
      {"no version", languageFile("x", "interface name=\"Trazvik\""), invalid},
      {"no name", languageFile("x", "interface version=\"3.50\""), invalid},
      {"version compared as text", languageFile("x", "interface name=\"Trazvik\" version=\"3.5\""), incompatible},
      {"other program", languageFile("x", "interface name=\"Trazvikk\" version=\"3.50\""), incompatible},
      {"full version", languageFile("x", "interface name=\"Trazvik\" version=\"3.50.0.0\""), incompatible},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    f.put("US", c.content);
    EXPECT_FALSE(f.create({}, 1));
    EXPECT_FALSE(f.texts.langOk());
    ASSERT_EQ(f.boxes.messages().size(), 1u);
    EXPECT_EQ(f.boxes.messages()[0].caption, "Configuration error");
    EXPECT_EQ(f.boxes.messages()[0].text.rfind(c.messageStart + f.folder.text() + "Trazvik_US.xml", 0), 0u)
        << f.boxes.messages()[0].text;
    EXPECT_EQ(f.texts.dajTxt("Main_window", "msgWersja"), "error");
  }
}

TEST(Interfejs, TheApplicationNameIsComparedIgnoringCase) {
  Fixture f;
  f.put("US", languageFile("version", "interface name=\"TRAZVIK\" version=\"3.50\""));
  EXPECT_TRUE(f.create({}, 1));
}

TEST(Interfejs, LookupRules) {
  Fixture f;
  f.put("US", languageFile("version"));
  ASSERT_TRUE(f.create({}, 1));
  const std::tuple<const char*, const char*, std::string> cases[] = {
      {"Main_window", "msgWersja", "version"},
      {"Main_window", "bezTekstu", ""},       // key without "str"
      {"Main_window", "nieMa", "error"},      // missing key
      {"Nie_ma", "msgWersja", "error"},       // missing section
      {"main_window", "msgWersja", "error"},  // names are case-sensitive
      {"Main_window", "msgwersja", "error"},
      {"Main_window", "msgBrakMożliwościCofniecia", "version cofanie"},  // non-ASCII key
      {"Other", "wlacz", "& <on> \xc4\x85"},                             // entities decoded, UTF-8 kept
      {"", "", "error"},
  };
  for (const auto& [section, key, expected] : cases) {
    EXPECT_EQ(f.texts.dajTxt(section, key), expected) << section << "/" << key;
  }
  std::string out = "old";
  f.texts.dajTxt("Nie_ma", "x", out);
  EXPECT_EQ(out, "error");
}

// A translator's editor may save the file in a Polish code page; the
// declared encoding is honoured and the texts arrive in UTF-8.
TEST(Interfejs, ReadsFilesInTheirDeclaredEncoding) {
  const std::string utf8Text = "\xc5\x81\xc3\xb3\x64\xc5\xba";  // "Łódź"
  struct Case {
    const char* encoding;
    std::string body;
  };
  const Case cases[] = {
      {"ISO-8859-2", "\xa3\xf3\x64\xbc"},
      {"windows-1250", "\xa3\xf3\x64\x9f"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.encoding);
    Fixture f;
    f.put("US", std::string("<?xml version=\"1.0\" encoding=\"") + c.encoding +
                    "\"?>\n<interface name=\"Trazvik\" version=\"3.50\"><Main_window><msgWersja str=\"" + c.body +
                    "\"/></Main_window></interface>\n");
    ASSERT_TRUE(f.create({}, 1));
    EXPECT_EQ(f.texts.dajTxt("Main_window", "msgWersja"), utf8Text);
  }

  // UTF-16 with a byte order mark.
  Fixture f;
  const std::string ascii =
      "<?xml version=\"1.0\" encoding=\"UTF-16\"?><interface name=\"Trazvik\" version=\"3.50\">"
      "<Main_window><msgWersja str=\"v\"/></Main_window></interface>";
  std::string utf16 = "\xff\xfe";
  for (char c : ascii) {
    utf16 += c;
    utf16 += '\0';
  }
  f.put("US", utf16);
  ASSERT_TRUE(f.create({}, 1));
  EXPECT_EQ(f.texts.dajTxt("Main_window", "msgWersja"), "v");
}

TEST(Interfejs, MessageAndConfirmationBoxes) {
  Fixture f;
  f.texts.messageBox("saved");
  f.texts.messageBox("broken", true);
  f.texts.messageBox("stopped", true, std::string("Stop"));
  f.texts.messageBox("note", false, std::string(""));
  ASSERT_EQ(f.boxes.messages().size(), 4u);
  EXPECT_EQ(f.boxes.messages()[0].caption, "Information");
  EXPECT_FALSE(f.boxes.messages()[0].error);
  EXPECT_EQ(f.boxes.messages()[1].caption, "Error");
  EXPECT_TRUE(f.boxes.messages()[1].error);
  EXPECT_EQ(f.boxes.messages()[2].caption, "Stop");
  EXPECT_EQ(f.boxes.messages()[3].caption, "");

  f.boxes.prepareAnswer(DialogButton::Yes);
  EXPECT_EQ(f.texts.confirmationBox("Reload?", ButtonSet::yesNo()), DialogButton::Yes);
  ASSERT_EQ(f.boxes.questions().size(), 1u);
  EXPECT_EQ(f.boxes.questions()[0].text, "Reload?");
  EXPECT_EQ(f.boxes.questions()[0].buttons, ButtonSet::yesNo());
}

TEST(Interfejs, SharedFileDeletion) {
  Fixture f;
  f.put("US",
        "<?xml version=\"1.0\"?><interface name=\"Trazvik\" version=\"3.50\"><Other>"
        "<BrakPlikuDoUsuniecia str=\"No file:\"/><BladUsuwaniaPliku str=\"Cannot delete.\"/>"
        "<SzczegolyBledu str=\"Details: \"/></Other></interface>");
  ASSERT_TRUE(f.create({}, 1));

  const std::string existing = (f.folder / "a.lyr").string();
  writeFile(existing, "[Layer 1]\n");
  EXPECT_TRUE(f.texts.usunPlik(existing));
  EXPECT_FALSE(std::filesystem::exists(existing));
  EXPECT_TRUE(f.boxes.messages().empty());

  EXPECT_FALSE(f.texts.usunPlik(existing));
  ASSERT_EQ(f.boxes.messages().size(), 1u);
  EXPECT_EQ(f.boxes.messages()[0].text, "No file:\n\r" + existing);
  EXPECT_TRUE(f.boxes.messages()[0].error);
  EXPECT_EQ(f.boxes.messages()[0].caption, "Error");

  // A folder of that name is not deleted, and the operator is told why.
  const auto folder = f.folder / "b.lyr";
  std::filesystem::create_directory(folder);
  f.boxes.clear();
  EXPECT_FALSE(f.texts.usunPlik(folder.string()));
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  ASSERT_EQ(f.boxes.messages().size(), 1u);
  const std::string& text = f.boxes.messages()[0].text;
  EXPECT_EQ(text.rfind("Cannot delete.\n\r\n\rDetails: ", 0), 0u) << text;
  EXPECT_GT(text.size(), std::string("Cannot delete.\n\r\n\rDetails: ").size()) << "the system's reason is missing";

  f.boxes.clear();
  EXPECT_FALSE(f.texts.usunPlik(""));
  EXPECT_EQ(f.boxes.messages().size(), 1u);
}

}  // namespace
}  // namespace trazvik::texts
