// Holds a global hotkey for another process's test: registers the combination given as two
// hexadecimal arguments (MOD_* flags, virtual key), signals the event named by the third
// argument once it holds it, and lets it go when standard input closes.

#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    UINT modifiers = std::strtoul(argv[1], nullptr, 16);
    UINT key = std::strtoul(argv[2], nullptr, 16);
    if (!RegisterHotKey(nullptr, 1, modifiers, key))
        return 1;
    HANDLE held = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[3]);
    if (held)
        SetEvent(held);
    char buffer[16];
    while (std::fread(buffer, 1, sizeof buffer, stdin) > 0) {
    }
    return 0;
}
