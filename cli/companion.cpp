#include "companion.h"

#include <cstdio>

#include "../shell/start_recovery.h"
#include "commands.h"
#include "console_front_end.h"

int RunCompanion(const std::vector<std::string>& arguments)
{
    ConsoleFrontEnd frontEnd;
    SetJobFrontEnd(&frontEnd);
    CliContext context;
    int code = EXIT_FAILED;
    if (!context.Open()) {
        std::fprintf(stderr, "orvella-cli: the program's settings could not be opened (error %ld).\n",
                     LastStatus);
    } else {
        // Before any command touches a vault.
        for (const std::string& note :
             RecoverAtStart(context.settings, context.store, context.root))
            std::fprintf(stderr, "orvella-cli: %s\n", note.c_str());
        code = RunCommand(context, arguments);
    }
    SetJobFrontEnd(nullptr);
    return code;
}
