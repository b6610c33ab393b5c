// Every text key the settings refer to is in every shipped language file.
#include "config/setting_catalogue.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <string>

namespace trazvik::config {
namespace {

TEST(SettingTextKeys, PresentInEveryLanguageFile) {
  for (const char* code : {"PL", "US"}) {
    SCOPED_TRACE(code);
    const std::string path = std::string(TRAZVIK_SOURCE_DIR) + "/lang/Trazvik_" + code + ".xml";
    pugi::xml_document document;
    ASSERT_TRUE(document.load_file(path.c_str())) << path;
    for (const TextKey& key : settingTextKeys()) {
      const pugi::xml_node node =
          document.document_element().child(std::string(key.section).c_str()).child(std::string(key.key).c_str());
      EXPECT_TRUE(node) << "missing " << key.section << "/" << key.key;
      EXPECT_NE(std::string(node.attribute("str").value()), "") << key.section << "/" << key.key;
    }
  }
}

}  // namespace
}  // namespace trazvik::config
