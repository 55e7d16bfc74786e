// orvella-cli: the console companion of Zovantri Orvella, over the same engine, store and
// settings as the program.

#include <cstdio>

#include "commands.h"
#include "console_front_end.h"

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    ConsoleFrontEnd frontEnd;
    SetJobFrontEnd(&frontEnd);
    CliContext context;
    if (!context.Open()) {
        std::fprintf(stderr, "orvella-cli: the program's settings could not be opened (error %ld).\n",
                     LastStatus);
        return EXIT_FAILED;
    }
    int code = RunCommand(context, arguments);
    SetJobFrontEnd(nullptr);
    return code;
}
