// The main window's open command: a design file becomes a new project.
#pragma once
#include "project/tmdichild.h"

#include <functional>
#include <memory>
#include <string>

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
  // Reads a bitmap into the project (raster engraving); without it a
  // bitmap cannot be opened.
  std::function<bool(TMDIChild&, const std::string&)> wczytajBitmape;
  // Passed to the new project.
  tWidokProjektu widok;
  // The program's "spline" switch, for the reader.
  bool spline = false;
};

// The open dialog's filter: bitmaps on a laser, G-code otherwise.
std::string filtrOtwierania(bool laser);

// Opens `path` (or the file the operator chooses when it is empty) as a new
// project. Nothing when the dialog is cancelled; an error box with the path
// when the file does not exist; nothing (after the project's own message)
// when the file cannot be read.
std::unique_ptr<TMDIChild> OtworzProjekt(const std::string& path, TDlgkonfig& konfig,
                                         const texts::tInterfejs& interfejs, const tOtwieranieProjektu& o);

}  // namespace trazvik
