#pragma once
// The whole console companion, given its arguments (without the program name).

#include <string>
#include <vector>

// Installs the console front end, opens the program's settings, puts right whatever a cut-short
// move, lock or unlock left behind (RecoverAtStart) and runs the command. Returns the exit code.
int RunCompanion(const std::vector<std::string>& arguments);
