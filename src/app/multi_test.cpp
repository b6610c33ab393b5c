#include "app/multi_test.h"

#include "texts/interfejs.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace trazvik::app {

namespace fs = std::filesystem;

namespace {

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The folder's regular files, by name: listing order differs between file
// systems and a test run must cut the same folder in the same order.
std::vector<fs::path> filesOf(const fs::path& folder) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (it->is_regular_file(ec)) files.push_back(it->path());
  std::sort(files.begin(), files.end());
  return files;
}

// The file of `files` whose name is `name` in any case, as the file system
// spells it.
std::optional<fs::path> findNamed(const std::vector<fs::path>& files, const std::string& name) {
  const std::string wanted = lower(name);
  for (const fs::path& f : files)
    if (lower(f.filename().string()) == wanted) return f;
  return std::nullopt;
}

}  // namespace

TMultiTest::TMultiTest(const std::string& folder) {
  if (!folder.empty()) LadujListeZFolderu(folder);
}

std::optional<std::string> TMultiTest::LadujListeZFolderu(const std::string& folder) {
  Stop();
  UsunWszystkieElListy();
  warning_.reset();
  fs::path dir(folder);
  if (dir.has_filename() == false) dir = dir.parent_path();  // "set1/" names the folder "set1"
  folder_ = dir.string();
  const std::vector<fs::path> files = filesOf(dir);
  const std::string general = dir.filename().string() + ".mcc";
  const std::optional<fs::path> generalFile = findNamed(files, general);
  bool missing = false;
  for (const char* extension : {".plt", ".dxf", ".nc"}) {
    for (const fs::path& f : files) {
      if (lower(f.extension().string()) != extension) continue;
      TMultiTestDane item;
      item.plikPrj = f.string();
      if (auto own = findNamed(files, f.stem().string() + ".mcc")) {
        item.plikKonf = own->string();
      } else {
        item.plikKonf = generalFile ? generalFile->string() : (dir / general).string();
        missing = missing || !generalFile;
      }
      lista_.push_back(std::move(item));
    }
  }
  if (missing) warning_ = "UWAGA! Brak ogólnego pliku konfiguracyjnego :\n\r" + (dir / general).string();
  return warning_;
}

void TMultiTest::Start() {
  wToku_ = true;
  indAkt_ = -1;
}

void TMultiTest::Stop() {
  wToku_ = false;
  indAkt_ = -1;
}

bool TMultiTest::PobierzNastepnyZestaw(std::string& project, std::string& settings) {
  ++indAkt_;
  if (indAkt_ >= 0 && indAkt_ < static_cast<int>(lista_.size())) {
    project = lista_[static_cast<std::size_t>(indAkt_)].plikPrj;
    settings = lista_[static_cast<std::size_t>(indAkt_)].plikKonf;
    return true;
  }
  project.clear();
  settings.clear();
  return false;
}

tMultiTestTexts tMultiTestTexts::of(const texts::tInterfejs& texts) {
  tMultiTestTexts t;
  auto take = [&](const char* key, std::string& text) {
    // A language file without the key keeps the Polish text rather than
    // showing "error" in the status bar.
    const std::string found = texts.dajTxt("MultiTest", key);
    if (!found.empty() && found != "error") text = found;
  };
  take("msgKoniecTestow", t.end);
  take("msgBrakLacznosci", t.noLink);
  take("msgMultitestUruchomiony", t.running);
  take("msgUwagaTesty", t.started);
  take("msgWczytanoScenariusz", t.loaded);
  take("msgWybierzFolder", t.folderTitle);
  return t;
}

bool tMultiTestRun::start() {
  if (list_.JestWtoku()) {
    if (hooks_.information) hooks_.information(texts_.running);
    return false;
  }
  if (hooks_.started) hooks_.started();
  list_.Start();
  startNext();
  return list_.JestWtoku();
}

void tMultiTestRun::stop() { stop(texts_.end); }

void tMultiTestRun::stop(const std::string& text) {
  list_.Stop();
  if (hooks_.stopped) hooks_.stopped(text);
}

void tMultiTestRun::nextItem() {
  if (!list_.JestWtoku() || list_.OstatniElement()) {
    stop(texts_.end);
    return;
  }
  if (hooks_.machinePresent && !hooks_.machinePresent()) {
    if (hooks_.reportLine) hooks_.reportLine(std::string("  ") + kMultiTestNoLink);
    stop(texts_.noLink);
    return;
  }
  startNext();
}

void tMultiTestRun::startNext() {
  std::string project, settings;
  if (!list_.PobierzNastepnyZestaw(project, settings)) {
    stop(texts_.end);
    return;
  }
  const TMultiTestDane& item = list_.Lista()[static_cast<std::size_t>(list_.AktualnieTestowany())];
  const std::string failure = hooks_.startItem ? hooks_.startItem(item) : std::string("nothing starts the job");
  // A failing item ends the run; the reports of the jobs before it stay.
  if (!failure.empty()) stop(fs::path(project).filename().string() + ": " + failure + " - " + texts_.end);
}

}  // namespace trazvik::app
