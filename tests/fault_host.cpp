// orvella-fault-host AT COMMAND [ARGUMENTS]: the console companion with its file operation
// number AT ending the process on the spot (the fault seam), so that a test can cut a lock or
// unlock short at every step, as a crash or a power cut would.

#include <cstdlib>

#include "cli/companion.h"
#include "engine/files/win_file.h"

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    file_faults::Arm(uint32_t(std::strtoul(argv[1], nullptr, 10)), file_faults::END_PROCESS);
    return RunCompanion(std::vector<std::string>(argv + 2, argv + argc));
}
