#pragma once
// Stealth mode: the program's Start-menu group moves from the user's Programs folder into the
// installation folder, which is then hidden, and back again. Where the group and the folder are
// is what Setup recorded when it installed the program.

#include <string>

struct InstallerPlaces {
    std::string programsFolder;  // the user's Start-menu Programs folder
    std::string appDirectory;    // where Setup installed the program
    std::string group;           // the Start-menu group's name inside the Programs folder
};

// Reads the three places; each is "" when it cannot be read. Setup's entry is opened with full
// access (as changing stealth mode needs administrator rights anyway) and never created.
InstallerPlaces ReadInstallerPlaces();

// Why the group cannot be moved (hide: into the installation folder; otherwise back), as the
// message the user is shown; "" when the move may go ahead. Checked before anything is copied,
// so that a missing place can never make the move copy or delete the whole Programs folder or
// installation folder.
std::string StealthMoveProblem(const InstallerPlaces& places, bool hide);

// Copies the group to its other place and deletes it where it was, each behind the progress
// dialog; after both, hides the installation folder (hide) or makes it normal again. False when
// a step failed or the user cancelled; what was already done stays done.
bool MoveStartMenuGroup(const InstallerPlaces& places, bool hide);
