// orvella-move-host NEWROOT: moves the program's vaults root, with every vault in it, to NEWROOT
// as the Options page's Select button does, with the console companion's front end in place of
// the progress dialog, so that a test can end a move at any instant as a crash or a power cut
// would. Exit code 0 when the vaults were moved, 1 otherwise; what the user would be told goes
// to standard error.

#include <cstdio>

#include "cli/commands.h"
#include "cli/console_front_end.h"
#include "shell/app_locations.h"
#include "shell/vaults_root_move.h"

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    ConsoleFrontEnd frontEnd;
    SetJobFrontEnd(&frontEnd);
    CliContext context;
    int code = 1;
    if (context.Open()) {
        RootMoveReport report =
            MoveVaultsRoot(context.settings, context.store, context.root, argv[1],
                           [&context](const std::string& root) {
                               return SaveVaultsRoot(context.settings, root);
                           });
        if (!report.text.empty())
            std::fprintf(stderr, "%s\n", report.text.c_str());
        code = report.result == RootMoveResult::Moved ? 0 : 1;
    }
    SetJobFrontEnd(nullptr);
    return code;
}
