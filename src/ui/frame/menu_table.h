#pragma once

namespace trazvik::ui {

// One item of the main menu: its menu, component name, default caption and
// shortcut. Captions are replaced from the language file at start-up.
struct MenuItemDef {
  const char* menu;      // component name of the menu the item belongs to
  const char* name;      // component name of the item
  const char* caption;   // default caption
  const char* shortcut;  // as QKeySequence text, empty when none
};

// The menus of the menu bar in order (component name, default caption).
struct MenuDef {
  const char* name;
  const char* caption;
};

inline constexpr MenuDef kMenus[] = {
    {"File1", "&Plik"},
    {"Widok", "&Widok"},
    {"Cicie1", "&Cięcie"},
    {"sterowanie", "&Sterowanie"},
    {"Konfiguracja", "&Konfiguracja"},
    {"Window1", "&Okna"},
    {"Funkcje1", "Funkcje"},
    {"mPomoc", "Pomoc"},
};

// "-" as a name is a separator.
inline constexpr MenuItemDef kMenuItems[] = {
    {"File1", "FileOpenItem", "&Otwórz", "F3"},
    {"File1", "Zapistestowy1", "Zapis [testowy]", ""},
    {"File1", "FileCloseItem", "&Zamknij", ""},
    {"File1", "-", "", ""},
    {"File1", "info", "&Info", ""},
    {"File1", "Symulacja", "&Symulacja", "F1"},
    {"File1", "About1", "&About", ""},
    {"File1", "miPodgladDziennikow", "Podgląd dzienników", ""},
    {"File1", "miOtworzFolderPlikowZadan", "Folder XML (dzienniki + zadania)", ""},
    {"File1", "-", "", ""},
    {"File1", "FileExitItem", "&Koniec", "Alt+X"},
    {"Widok", "Kierunek", "&Kierunek", ""},
    {"Widok", "Kolejnosc", "Ko&lejność", ""},
    {"Widok", "Warstwy", "Warstwy", ""},
    {"Widok", "-", "", ""},
    {"Widok", "Punktywej", "Punkty wejscia", ""},
    {"Cicie1", "Start1", "&Start", "F2"},
    {"Cicie1", "Kontynuacja1", "&Kontynuacja", "Shift+F2"},
    {"Cicie1", "Powtrz1", "&Powtórz", "Ctrl+F2"},
    {"Cicie1", "Wstrzymaj1", "&Wstrzymaj", "Space"},
    {"Cicie1", "miZatrzymajZadanie", "Zatrzymaj zadanie", ""},
    {"Cicie1", "-", "", ""},
    {"Cicie1", "Tnijwybran1", "&Tnij wybraną", ""},
    {"Cicie1", "Startodwybranej1", "St&art od wybranej", ""},
    {"Cicie1", "Tnijwybranewarstwy1", "Tnij wybrane warstwy", ""},
    {"Cicie1", "WypalBMP1", "Wypal BMP", ""},
    {"Cicie1", "-", "", ""},
    {"Cicie1", "miZalaczPompeProzniowa", "Załącz pompę próżniową", "F7"},
    {"Cicie1", "miWylaczPompeProzniowa", "Wyłącz pompę próżniową", "Ctrl+F7"},
    {"Cicie1", "miMultiTesty", "Testy wielu proj. z folderu", ""},
    {"Konfiguracja", "mKonfigGlowna", "Główna...", ""},
    {"Konfiguracja", "mWarstwy", "Warstwy...", ""},
    {"Window1", "WindowCascadeItem", "&Kaskada", ""},
    {"Window1", "WindowTileItem", "&Sąsiadująco", ""},
    {"Window1", "CloseAll", "Zamknij wszystkie", ""},
    {"Funkcje1", "mKreskowanie", "Kreskowanie", ""},
    {"Funkcje1", "mPlanowanieStolu", "Planowanie stołu", ""},
    {"mPomoc", "mInstrukcjaObsugi", "Instrukcja obsługi", ""},
    {"mInstrukcjaObsugi", "mInstrukcjaLaser", "laser", ""},
    {"mInstrukcjaObsugi", "mInstrukcjaFrezarka", "frezarka", ""},
    {"mPomoc", "mPobierzNajnowszaWersje", "Pobierz najnowszą wersję", ""},
};

}  // namespace trazvik::ui
