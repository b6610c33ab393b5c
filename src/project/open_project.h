// The main window's open command: a design file becomes a new project.
#pragma once
#include "project/tmdichild.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace trazvik {

struct tOtwieranieProjektu {
  // Folder of the last opened design file (the open dialog starts there);
  // updated after every open.
  std::string* openDir = nullptr;
  // The open dialog: filter and start folder in, chosen path out; empty
  // when the operator cancels. Without it an empty path opens nothing.
  std::function<std::string(const std::string& filtr, const std::string& folder)> wybierzPlik;
  // The main window refreshes its menus.
  std::function<void()> odswiezMenu;
  // Passed to the new project.
  tWidokProjektu widok;
  // The program's "spline" switch, for the reader.
  bool spline = false;
};

// The open dialog's filter, "name|patterns|name|patterns|...": every design
// file the program reads first, then plot files, DXF, G-code (not on a
// laser) and bitmaps (only on a laser), and all files, since a file of
// another extension is taken by its content.
std::string filtrOtwierania(bool laser);
// The same with every entry named in the interface's language ("Design
// files (*.plt, ...)", "HPGL plot files (*.plt, ...)", ...), as the open
// dialog shows it.
std::string filtrOtwierania(bool laser, const texts::tInterfejs& interfejs);

// Opens `path` (or the file the operator chooses when it is empty) as a new
// project. Nothing when the dialog is cancelled; an error box with the path
// when the file does not exist or is of no type the program reads; nothing
// (after the project's own message) when the file cannot be read or holds
// no figure.
std::unique_ptr<TMDIChild> OtworzProjekt(const std::string& path, TDlgkonfig& konfig,
                                         const texts::tInterfejs& interfejs, const tOtwieranieProjektu& o);

// The reader's warnings of a loaded project, one line each, naming the file.
std::vector<std::string> linieOstrzezen(const TMDIChild& projekt);

// Tells the operator in one box what the reader passed over in the file of
// a project just opened; nothing when there is nothing to tell.
void pokazOstrzezeniaWczytania(const TMDIChild& projekt, const texts::tInterfejs& interfejs);

}  // namespace trazvik
