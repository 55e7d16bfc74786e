// orvella-cli: the console companion of Zovantri Orvella, over the same engine, store and
// settings as the program.

#include "companion.h"

int main(int argc, char** argv)
{
    return RunCompanion(std::vector<std::string>(argv + 1, argv + argc));
}
