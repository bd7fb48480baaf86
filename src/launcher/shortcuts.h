// Adding shortcuts to the launcher and opening them through the shell.
#pragma once
#include <string>

namespace ql {

// Launch modes: hidden, minimised without activation, normal.
constexpr int kLaunchHidden = 1, kLaunchMinimised = 2, kLaunchNormal = 0;

// The shell's "open" on `target`; false only when the file was not found.
bool launchTarget(const std::string& target, const std::string& parameters, int mode);

// Command 2001: opens the selected item; a vanished target is offered for removal.
void openItem();
// Command 2009: opens the folder holding the selected item's target.
void openContainingFolder();
// Command 2002: adds one file chosen in a file dialog to the current category.
void addShortcut();
// Command 2010: adds every file of a chosen folder.
void addFolder();
// Adds every file of `folder` (ending in "\") to the current category; with
// an empty text, the files of both desktops. Neither refreshes nor saves.
void importFolderItems(const std::string& folder);
// A named special folder: a few environment variables, else the Explorer
// "Shell Folders" value ("Common..." names from the machine's key).
std::string specialFolderPath(const std::string& name);
// On the first run, when the current category holds only the placeholder,
// imports the desktops' shortcuts in its place.
void importDesktopsOnce();

}  // namespace ql
