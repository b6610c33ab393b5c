#include "texts/interfejs.h"

#include "base/directories.h"
#include "texts/xml_encoding.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <filesystem>
#include <system_error>

namespace trazvik::texts {
namespace fs = std::filesystem;

namespace {

constexpr const char* kConfigurationError = "Configuration error";
constexpr const char* kCrLf = "\r\n";
// A language file is a few hundred kilobytes; anything far larger is not one.
constexpr std::uintmax_t kLargestLanguageFile = 32u * 1024u * 1024u;

bool readWholeFile(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool isFile(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(fs::path(path), ec);
}

}  // namespace

std::string languageFilePath(const std::string& programDirectory, const std::string& code) {
  return base::withFinalSeparator(programDirectory) + base::kApplicationTitle + "_" + code + ".xml";
}

tInterfejs::tInterfejs(MessageBoxes& boxes) : boxes_(boxes) {}

bool tInterfejs::Create(const std::string& programDirectory, const base::CommandLine& commandLine, int countryNumber,
                        const std::string& majorMinorVersion) {
  choice_ = chooseLanguage(countryNumber, commandLine);
  return loadLanguageFile(programDirectory, choice_.code, majorMinorVersion);
}

bool tInterfejs::reject(const std::string& reason, const std::string& path) {
  document_.reset();
  wInterfejs_ = pugi::xml_node();
  langOk_ = false;
  loadedFile_.clear();
  messageBox(reason + kCrLf + path, true, std::string(kConfigurationError));
  return false;
}

bool tInterfejs::loadLanguageFile(const std::string& programDirectory, const std::string& code,
                                  const std::string& majorMinorVersion) {
  std::string path = languageFilePath(programDirectory, code);
  if (!isFile(path)) path = languageFilePath(programDirectory, "US");
  if (!isFile(path)) return reject("Application could't work without file: ", path);

  std::error_code ec;
  const std::uintmax_t size = fs::file_size(fs::path(path), ec);
  if (ec) return reject("Corruption detected in file: ", path + kCrLf + ec.message());
  if (size > kLargestLanguageFile)
    return reject("Corruption detected in file: ", path + kCrLf + "The file is too large.");

  std::string bytes;
  if (!readWholeFile(path, bytes)) return reject("Corruption detected in file: ", path + kCrLf + std::strerror(errno));
  PreparedXml prepared;
  std::string encodingError;
  if (!prepareXml(std::move(bytes), prepared, encodingError)) {
    return reject("Corruption detected in file: ", path + kCrLf + encodingError);
  }
  const pugi::xml_parse_result parsed =
      document_.load_buffer(prepared.bytes.data(), prepared.bytes.size(), pugi::parse_default, prepared.encoding);
  if (!parsed) {
    if (parsed.status == pugi::status_no_document_element) return reject("Corruption detected in file: ", path);
    return reject("Corruption detected in file: ",
                  path + kCrLf + parsed.description() + " (byte " + std::to_string(parsed.offset) + ")");
  }
  const pugi::xml_node root = document_.document_element();
  if (!root) return reject("Corruption detected in file: ", path);
  if (std::strcmp(root.name(), "interface") != 0 || !root.attribute("name") || !root.attribute("version")) {
    return reject("Invalid file structure: ", path);
  }
  if (!base::equalsIgnoringCase(root.attribute("name").value(), base::kApplicationTitle) ||
      majorMinorVersion != root.attribute("version").value()) {
    return reject("Incompatibile file version: ", path);
  }
  wInterfejs_ = root;
  langOk_ = true;
  loadedFile_ = path;
  return true;
}

std::string tInterfejs::dajTxt(std::string_view section, std::string_view key) const {
  std::string text;
  dajTxt(section, key, text);
  return text;
}

void tInterfejs::dajTxt(std::string_view section, std::string_view key, std::string& text) const {
  text = "error";
  if (!langOk_) return;
  // pugixml compares names as NUL-terminated texts.
  const pugi::xml_node sectionNode = wInterfejs_.child(std::string(section).c_str());
  if (!sectionNode) return;
  const pugi::xml_node keyNode = sectionNode.child(std::string(key).c_str());
  if (!keyNode) return;
  text = keyNode.attribute("str").value();
}

void tInterfejs::messageBox(const std::string& text, bool error, const std::optional<std::string>& caption) const {
  boxes_.showMessage(text, error, messageCaption(error, caption));
}

DialogButton tInterfejs::confirmationBox(const std::string& question, ButtonSet buttons) const {
  return boxes_.confirm(question, buttons);
}

bool tInterfejs::usunPlik(const std::string& path) const {
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(fs::path(path), ec);
  if (path.empty() || !fs::exists(status)) {
    messageBox(dajTxt("Other", "BrakPlikuDoUsuniecia") + "\n\r" + path, true);
    return false;
  }
  std::string reason;
  if (fs::is_directory(status)) {
    reason = std::strerror(EISDIR);
  } else if (!fs::remove(fs::path(path), ec)) {
    reason = ec ? ec.message() : std::strerror(ENOENT);
  }
  if (!reason.empty()) {
    messageBox(dajTxt("Other", "BladUsuwaniaPliku") + "\n\r" + "\n\r" + dajTxt("Other", "SzczegolyBledu") + reason,
               true);
    return false;
  }
  return true;
}

}  // namespace trazvik::texts
