#pragma once
#include "project/open_project.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

namespace trazvik::ui {

// Opens a design file as a project without freezing the window: the
// document is read and prepared on a worker thread while a progress window
// shows what the loading reports (the file, the figures read so far). The
// operator's messages of the loading are asked on the interface thread.
// `openDir` receives the folder of the file; `statusPanel` shows the
// loading's status text in the main window. Returns the project, or
// nothing when it could not be opened (the operator has been told).
std::unique_ptr<TMDIChild> loadProjectWithProgress(const std::string& path, TDlgkonfig& konfig,
                                                   const texts::tInterfejs& interfejs, bool spline,
                                                   std::string* openDir, QWidget* parent,
                                                   std::function<void(const QString&)> statusPanel = {});

// The open dialog's filter of the core ("text|patterns|text|patterns")
// as a Qt file dialog filter ("text (patterns);;...").
QString qtFileFilter(const std::string& filter);

}  // namespace trazvik::ui
