#pragma once
// The version shown in the window title.
#include <string>

namespace refloq::app {

// The "FileVersion" text of the version resource of the file at
// `module_path`, in the language and code page of its first translation;
// empty when the file, the resource or an entry is missing.  At most 255
// characters.
std::string GetFileVersionText(const std::string& module_path);

// "%s [Ver: %s]": `title` and `version`.
std::string FormatWindowTitle(const std::string& title,
                              const std::string& version);

// The main window's title: string 103 and the running program's version.
std::string WindowTitle();

}  // namespace refloq::app
