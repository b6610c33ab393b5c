// trazvik: the desktop program.
#include "frame/qt_message_boxes.h"

#include <QApplication>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("Trazvik");
  trazvik::ui::QtMessageBoxes boxes;
  return 0;
}
