#pragma once
// The language library and the user-visible texts.
//
// At start-up LoadLanguageLibrary picks a library by the language id of
// Settings.ini ("LANG_ID", 9999 = the user's UI language) and loads it, as
// data only, from the folder "LANG" beside the program.  From then on
// LoadUiString takes every text from that library, or from the program's
// own string table when none is loaded; never from both.
#include <array>
#include <cstdint>
#include <string>

namespace refloq::app {

// One row of the language table: a Windows language id and the library
// code (the file is the code followed by ".dll").  The name is carried for
// reference only.
struct LanguageRow {
  std::uint16_t id;
  const char* code;
  const char* name;
};
inline constexpr std::size_t kLanguageRowCount = 46;
// Searched in order; the first row with the id decides.
extern const std::array<LanguageRow, kLanguageRowCount> kLanguageTable;

// The library file name for `lang_id`: the deciding row's code followed by
// ".dll" (".dll" for a reserved row); empty when no row has the id or the
// row is English (US), which needs no library.
std::string LanguageLibraryName(std::uint16_t lang_id);

// The user's UI language (GetUserDefaultUILanguage).
using UiLanguageSource = std::uint16_t (*)();

// Chooses and loads the language library for the program at `module_path`,
// creating its "LANG" folder when missing; true when a library was loaded.
// Replaces any library loaded before.  Called once, at start-up.
bool LoadLanguageLibrary(const std::string& module_path,
                         UiLanguageSource ui_language);
// The same for the running program and the user's real UI language.
bool LoadLanguageLibrary();

bool IsLanguageLibraryLoaded();
// Releases the library; texts come from the program's own table again.
void ReleaseLanguageLibrary();

// Text `id` from the loaded library, else from the program's own string
// table; empty when that source lacks the id.  Safe from any thread, also
// while the library is being released: a read under way finishes on it.
std::string LoadUiString(std::uint16_t id);

}  // namespace refloq::app
