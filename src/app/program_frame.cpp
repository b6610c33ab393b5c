#include "app/program_frame.h"

#include "base/version_text.h"
#include "texts/language_choice.h"

namespace trazvik::app {
namespace {

constexpr const char* kCheckBaseCaption = "        <<< UWAGA! Włączona opcja CheckBase >>>";

}  // namespace

ProgramFrame::ProgramFrame(texts::MessageBoxes& boxes) : texts_(boxes) {}

ProgramFrame::Outcome ProgramFrame::start(Setup setup) {
  commandLine_ = std::move(setup.commandLine);
  switches_ = base::readStartupSwitches(commandLine_);
  const base::EnvironmentLookup environment = setup.environment ? setup.environment : base::processEnvironment();

  programDirectory_ =
      setup.programDirectory.empty() ? base::programFileDirectory() : base::withFinalSeparator(setup.programDirectory);
  const int country = setup.countryNumber ? *setup.countryNumber : texts::userCountryNumber(environment);
  const std::string version =
      setup.majorMinorVersion.empty() ? base::programMajorMinorVersion() : setup.majorMinorVersion;
  texts_.Create(programDirectory_, commandLine_, country, version);

  dataDirectory_ = base::dataDirectoryFor(switches_.dataDir, environment);
  std::string reason;
  if (!base::ensureDirectory(dataDirectory_, &reason)) {
    texts_.messageBox(
        texts_.dajTxt("Main_window", "nieMoznaUtworzycKatalogu") + "\n\r" + dataDirectory_ + " (" + reason + ")", true);
    return Outcome::NoDataDirectory;
  }
  lockFilePath_ = setup.lockFilePath.empty() ? base::SingleInstanceLock::lockFilePath(environment) : setup.lockFilePath;
  return texts_.langOk() ? Outcome::Ready : Outcome::NoLanguageFile;
}

bool ProgramFrame::applySingleInstanceRule() {
  if (!switches_.machineFilter.empty() || lock_.held()) return true;
  std::string reason;
  const base::SingleInstanceLock::Outcome outcome = lock_.acquire(lockFilePath_, &reason);
  if (outcome == base::SingleInstanceLock::Outcome::Acquired) return true;
  const std::string gap = "\r\n\r\n";
  std::string text = texts_.dajTxt("Main_window", "msgMutex1") + gap + texts_.dajTxt("Main_window", "msgMutex2") + gap +
                     texts_.dajTxt("Main_window", "msgMutex3") + gap + texts_.dajTxt("Main_window", "msgMutex4");
  if (outcome == base::SingleInstanceLock::Outcome::Failed) text += gap + reason;
  texts_.messageBox(text, true, texts_.dajTxt("Main_window", "msgKoniecPracyProgramu"));
  return false;
}

std::string ProgramFrame::caption() const { return mainWindowCaption(texts_, base::programVersionText(), switches_); }

std::string mainWindowCaption(const texts::tInterfejs& texts, const std::string& versionText,
                              const base::StartupSwitches& switches) {
  std::string caption =
      std::string(base::kApplicationTitle) + "   " + texts.dajTxt("Main_window", "msgWersja") + " " + versionText;
  if (!switches.machineFilter.empty()) {
    caption += "      " + texts.dajTxt("Main_window", "pracujeTylkoZploterem") + " " + switches.machineFilter;
  }
  if (switches.checkBaseMode) caption += kCheckBaseCaption;
  return caption;
}

}  // namespace trazvik::app
