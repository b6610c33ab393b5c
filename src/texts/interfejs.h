#pragma once
#include "base/command_line.h"
#include "texts/language_choice.h"
#include "texts/message_boxes.h"

#include <pugixml.hpp>

#include <optional>
#include <string>
#include <string_view>

namespace trazvik::texts {

// Every text the operator sees, looked up by section and key in the
// language file "Trazvik_<code>.xml" beside the program, plus the message
// and confirmation boxes through which the whole program speaks.
class tInterfejs {
 public:
  explicit tInterfejs(MessageBoxes& boxes);
  tInterfejs(const tInterfejs&) = delete;
  tInterfejs& operator=(const tInterfejs&) = delete;

  // Chooses the language from the country number and the command line, then
  // loads its file from `programDirectory` (which ends with "/"). The file
  // must carry `majorMinorVersion` (for example "0.1"). Returns langOk().
  bool Create(const std::string& programDirectory, const base::CommandLine& commandLine, int countryNumber,
              const std::string& majorMinorVersion);
  // Loads the file of `code` (or of "US" when it is missing) without
  // choosing a language; used by Create.
  bool loadLanguageFile(const std::string& programDirectory, const std::string& code,
                        const std::string& majorMinorVersion);

  bool langOk() const { return langOk_; }
  int country() const { return choice_.country; }
  const std::string& skrotJez() const { return choice_.code; }
  // The file that was loaded; empty when none was.
  const std::string& loadedFile() const { return loadedFile_; }

  // The text of `key` in `section`: "error" when the section or key is
  // missing or no file is loaded, empty when the key has no "str".
  std::string dajTxt(std::string_view section, std::string_view key) const;
  void dajTxt(std::string_view section, std::string_view key, std::string& text) const;

  // A message with one OK button. The caption is `caption`, else "Error"
  // for an error and "Information" otherwise.
  void messageBox(const std::string& text, bool error = false,
                  const std::optional<std::string>& caption = std::nullopt) const;
  // A question; returns the button the operator pressed.
  DialogButton confirmationBox(const std::string& question, ButtonSet buttons) const;

  // Deletes a file, telling the operator why when it cannot: a missing file
  // and a failed deletion (also of something that is not a file) each give an
  // error box. Returns true when the file is gone because it was deleted.
  bool usunPlik(const std::string& path) const;

  MessageBoxes& boxes() const { return boxes_; }

 private:
  bool reject(const std::string& reason, const std::string& path);

  MessageBoxes& boxes_;
  pugi::xml_document document_;
  pugi::xml_node wInterfejs_;
  bool langOk_ = false;
  LanguageChoice choice_;
  std::string loadedFile_;
};

// The path of the language file for `code`: programDirectory + "Trazvik_" +
// code + ".xml".
std::string languageFilePath(const std::string& programDirectory, const std::string& code);

}  // namespace trazvik::texts
