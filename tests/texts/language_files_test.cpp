// The language files shipped with the program: loadable by this build, the
// same sections and keys in every language, and every text the code looks up
// present in each of them.
#include "base/version_text.h"
#include "config/setting_catalogue.h"
#include "texts/interfejs.h"
#include "texts/recording_message_boxes.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <filesystem>
#include <map>
#include <optional>
#include <regex>
#include <set>

namespace trazvik::texts {
namespace {

namespace fs = std::filesystem;

const std::string kLangDir = std::string(TRAZVIK_SOURCE_DIR) + "/lang/";
const char* const kCodes[] = {"PL", "US"};

using Keys = std::set<std::pair<std::string, std::string>>;

Keys keysOf(const std::string& path, std::vector<std::string>* problems) {
  pugi::xml_document document;
  const pugi::xml_parse_result parsed = document.load_file(path.c_str());
  EXPECT_TRUE(parsed) << path << ": " << parsed.description();
  Keys keys;
  for (pugi::xml_node section : document.document_element().children()) {
    if (section.type() != pugi::node_element) continue;
    for (pugi::xml_node key : section.children()) {
      if (key.type() != pugi::node_element) continue;
      if (!keys.insert({section.name(), key.name()}).second) {
        problems->push_back(std::string("duplicate ") + section.name() + "/" + key.name());
      }
      if (std::string(key.attribute("str").value()).find_first_not_of(' ') == std::string::npos) {
        problems->push_back(std::string("no text for ") + section.name() + "/" + key.name());
      }
    }
  }
  return keys;
}

struct CodeScan {
  Keys used;
  std::vector<std::string> unreadable;  // calls whose section or key is not a text the scan can see
};

// An argument of a dajTxt call: a literal text, or the name of a constant
// defined with a literal text in the same file.
std::optional<std::string> argumentText(const std::string& argument,
                                        const std::map<std::string, std::string>& constants) {
  if (argument.size() >= 2 && argument.front() == '"') return argument.substr(1, argument.size() - 2);
  auto found = constants.find(argument);
  if (found == constants.end()) return std::nullopt;
  return found->second;
}

// A key argument that is a variable named like a parameter ("key") is
// passed on by a wrapper or taken from a table; its texts are named elsewhere.
bool isPassedOn(const std::string& keyArgument) { return keyArgument == "key"; }

// Every dajTxt(section, key) written in the program's sources (the texts
// implementation itself excluded), and every call of the small wrappers the
// control code looks its texts up through (ctx_.text, txt). A wrapper that
// passes its own parameters on, or a lookup by a key taken from a table of
// the code, is not a text the scan can see: those calls are left to the
// places that name the texts.
CodeScan scanCode() {
  const std::regex constant(R"re((\w+)\s*=\s*"([^"]*)"\s*;)re");
  const std::regex call(R"re(dajTxt\(\s*("[^"]*"|\w+)\s*,\s*("[^"]*"|\w+)\s*[,)])re");
  const std::regex wrapperCall(R"re((?:\bctx_\.text|\btxt)\(\s*("[^"]*"|\w+)\s*,\s*("[^"]*"|\w+)\s*[,)])re");
  CodeScan scan;
  for (const char* root : {"src", "tools"}) {
    const fs::path folder = fs::path(TRAZVIK_SOURCE_DIR) / root;
    if (!fs::exists(folder)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
      const std::string extension = entry.path().extension().string();
      if (!entry.is_regular_file() || (extension != ".cpp" && extension != ".h")) continue;
      if (entry.path().parent_path().filename() == "texts") continue;
      const std::string source = testing::readFile(entry.path());
      std::map<std::string, std::string> constants;
      for (auto it = std::sregex_iterator(source.begin(), source.end(), constant); it != std::sregex_iterator(); ++it) {
        constants[(*it)[1].str()] = (*it)[2].str();
      }
      for (const std::regex* pattern : {&call, &wrapperCall}) {
        for (auto it = std::sregex_iterator(source.begin(), source.end(), *pattern); it != std::sregex_iterator();
             ++it) {
          const std::string sectionArgument = (*it)[1].str();
          const std::string keyArgument = (*it)[2].str();
          if (isPassedOn(keyArgument)) continue;
          const std::optional<std::string> section = argumentText(sectionArgument, constants);
          const std::optional<std::string> key = argumentText(keyArgument, constants);
          if (section && key) {
            scan.used.insert({*section, *key});
          } else {
            scan.unreadable.push_back(entry.path().filename().string() + ": " + (*it)[0].str());
          }
        }
      }
    }
  }
  return scan;
}

TEST(LanguageFiles, LoadWithThisBuildsVersion) {
  for (const char* code : kCodes) {
    SCOPED_TRACE(code);
    RecordingMessageBoxes boxes;
    tInterfejs texts(boxes);
    EXPECT_TRUE(texts.loadLanguageFile(kLangDir, code, base::programMajorMinorVersion()));
    EXPECT_EQ(texts.loadedFile(), kLangDir + "Trazvik_" + code + ".xml");
    for (const auto& message : boxes.messages()) ADD_FAILURE() << message.text;
  }
}

TEST(LanguageFiles, EveryLanguageHasTheSameSectionsAndKeysEachWithAText) {
  std::vector<std::string> problems;
  const Keys english = keysOf(kLangDir + "Trazvik_US.xml", &problems);
  EXPECT_GT(english.size(), 0u);
  for (const char* code : kCodes) {
    const Keys other = keysOf(kLangDir + "Trazvik_" + code + ".xml", &problems);
    for (const auto& [section, key] : english) {
      if (!other.count({section, key})) problems.push_back(std::string(code) + " lacks " + section + "/" + key);
    }
    for (const auto& [section, key] : other) {
      if (!english.count({section, key})) problems.push_back(std::string("US lacks ") + section + "/" + key);
    }
  }
  for (const std::string& problem : problems) ADD_FAILURE() << problem;
}

TEST(LanguageFiles, EveryTextTheCodeLooksUpIsInEveryLanguage) {
  const CodeScan scan = scanCode();
  const Keys& used = scan.used;
  // The scan itself must work: the caption of the main window is looked up.
  ASSERT_TRUE(used.count({"Main_window", "msgWersja"})) << "the source scan found no dajTxt calls";
  // A key the scan cannot read cannot be checked: write sections and keys
  // as literal texts or as constants with a literal text in the same file.
  for (const std::string& call : scan.unreadable) ADD_FAILURE() << "cannot check " << call;
  for (const char* code : kCodes) {
    std::vector<std::string> problems;
    const Keys present = keysOf(kLangDir + "Trazvik_" + code + ".xml", &problems);
    for (const auto& [section, key] : used) {
      EXPECT_TRUE(present.count({section, key})) << "Trazvik_" << code << ".xml lacks " << section << "/" << key;
    }
  }
}

// The settings dialog is built from the catalogue, which names the texts of
// its captions, items, hints and buttons.
TEST(LanguageFiles, EveryTextOfTheSettingsCatalogueIsInEveryLanguage) {
  const std::vector<config::TextKey> keys = config::settingTextKeys();
  ASSERT_FALSE(keys.empty());
  for (const char* code : kCodes) {
    std::vector<std::string> problems;
    const Keys present = keysOf(kLangDir + "Trazvik_" + code + ".xml", &problems);
    for (const config::TextKey& key : keys) {
      EXPECT_TRUE(present.count({std::string(key.section), std::string(key.key)}))
          << "Trazvik_" << code << ".xml lacks " << key.section << "/" << key.key;
    }
  }
}

TEST(LanguageFiles, TheBuildCopiesThemBesideThePrograms) {
  for (const char* code : kCodes) {
    const std::string name = std::string("Trazvik_") + code + ".xml";
    const fs::path copy = fs::path(TRAZVIK_BIN_DIR) / name;
    ASSERT_TRUE(fs::exists(copy)) << copy;
    EXPECT_EQ(testing::readFile(copy), testing::readFile(kLangDir + name)) << name << " beside the programs is stale";
  }
}

}  // namespace
}  // namespace trazvik::texts
