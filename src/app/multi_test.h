// Automatic tests over a folder of projects: the list of test items, each a
// project file with the settings file it is cut with, and the run that cuts
// them one after another, taking the next item whenever a job ends.
#pragma once
#include "no_qt.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace trazvik::texts {
class tInterfejs;
}

namespace trazvik::app {

// The test run's texts as the Polish language file has them; the report
// files always carry kMultiTestNoLink, the operator sees tMultiTestTexts.
inline constexpr const char* kMultiTestEnd = "Koniec automatycznych testów z wielu projektów";
inline constexpr const char* kMultiTestNoLink = "Brak łączności - Koniec automatycznych testów z wielu projektów";
inline constexpr const char* kMultiTestRunning =
    "Multitest jest teraz uruchomiony. Zatrzymaj poprzednie testy zanim rozpoczniesz następne.";
inline constexpr const char* kMultiTestStarted = "UWAGA! Testy automatyczne z wielu projektów";
inline constexpr const char* kMultiTestLoaded = "Wczytano scenariusz testów automatycznych z wielu projektów";
inline constexpr const char* kMultiTestFolderTitle = "Wybierz folder z zestawem do testów";

// The operator's texts of the test run (status bar, boxes), from the
// language file's section "MultiTest"; the Polish ones where none is loaded.
struct tMultiTestTexts {
  std::string end = kMultiTestEnd;
  std::string noLink = kMultiTestNoLink;
  std::string running = kMultiTestRunning;
  std::string started = kMultiTestStarted;
  std::string loaded = kMultiTestLoaded;
  std::string folderTitle = kMultiTestFolderTitle;

  static tMultiTestTexts of(const texts::tInterfejs& texts);
};

// One test item.
struct TMultiTestDane {
  std::string plikPrj;   // full path of the project file
  std::string plikKonf;  // full path of its settings file
  int stan = 0;          // 0 when listed
};

class TMultiTest {
 public:
  // An empty list, or the list of `folder` (its warning, if any, in
  // warning()).
  explicit TMultiTest(const std::string& folder = {});

  // Stops, forgets the old items and lists the folder: its plot files,
  // then DXF, then G-code (extensions of any case, by name within each),
  // each with the settings file of its own name (".mcc") or else the
  // folder's general one (the folder's name + ".mcc"). Returns the warning
  // when some item has neither; the items stay listed.
  std::optional<std::string> LadujListeZFolderu(const std::string& folder);

  void Start();  // running, before the first item
  void Stop();   // not running, no current item
  // The next item's paths; false (and empty paths) past the last one.
  bool PobierzNastepnyZestaw(std::string& project, std::string& settings);

  bool JestWtoku() const { return wToku_; }
  bool OstatniElement() const { return indAkt_ >= 0 && indAkt_ == static_cast<int>(lista_.size()) - 1; }
  const std::string& AktualnyFolder() const { return folder_; }
  int AktualnieTestowany() const { return indAkt_; }
  const std::vector<TMultiTestDane>& Lista() const { return lista_; }
  const std::optional<std::string>& warning() const { return warning_; }
  void UsunWszystkieElListy() { lista_.clear(); }

 private:
  int indAkt_ = -1;
  bool wToku_ = false;
  std::string folder_;
  std::vector<TMultiTestDane> lista_;
  std::optional<std::string> warning_;
};

// What a program does for a test run.
struct tMultiTestHooks {
  // Closes the open projects, loads the item's settings file, opens its
  // project and starts cutting. Empty when the job started, else why not.
  std::function<std::string(const TMultiTestDane&)> startItem;
  // StopMultiTestu: the run has ended with this status bar text.
  std::function<void(const std::string& text)> stopped;
  // The run has started (the status bar turns red with its text).
  std::function<void()> started;
  // The machine is present on the link.
  std::function<bool()> machinePresent;
  // A line for the report of the job that just ended, after its elapsed time.
  std::function<void(const std::string& text)> reportLine;
  // An information box.
  std::function<void(const std::string& text)> information;
};

// The run over a test list: "MultiTest Start", the next item at the end of
// each job, and the stop.
class tMultiTestRun {
 public:
  tMultiTestRun(TMultiTest& list, tMultiTestHooks hooks, tMultiTestTexts texts = {})
      : list_(list), hooks_(std::move(hooks)), texts_(std::move(texts)) {}

  // Starts with the first item; refused with the information box while a
  // run is in progress. False when nothing was started.
  bool start();
  // At the end of a job: the next item, or the end of the run.
  void nextItem();
  // StopMultiTestu(text); the end of the tests when no text is given.
  void stop();
  void stop(const std::string& text);
  const tMultiTestTexts& texts() const { return texts_; }

 private:
  // Takes and starts items until one starts; a failing item ends the run.
  void startNext();

  TMultiTest& list_;
  tMultiTestHooks hooks_;
  tMultiTestTexts texts_;
};

}  // namespace trazvik::app
