// trazvik: the desktop program.
#include "frame/program_start.h"

#include <QApplication>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  trazvik::ui::Program::Options options;
  options.setup.commandLine = trazvik::base::CommandLine(argc, argv);
  trazvik::ui::Program program(std::move(options));
  if (!program.start()) return program.exitCode();
  return program.run();
}
