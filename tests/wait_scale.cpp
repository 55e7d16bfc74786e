#include "wait_scale.h"

#include <cstdlib>

namespace {

// The factor from the environment; 1 when it is unset or not a whole number from 1 to 100.
DWORD ReadScale()
{
    char text[16] = "";
    DWORD length = GetEnvironmentVariableA("ORVELLA_WAIT_SCALE", text, sizeof(text));
    if (length == 0 || length >= sizeof(text))
        return 1;
    char* end = nullptr;
    unsigned long scale = std::strtoul(text, &end, 10);
    return *end == '\0' && scale >= 1 && scale <= 100 ? DWORD(scale) : 1;
}

}  // namespace

DWORD ScaledMs(DWORD nativeMs)
{
    static const DWORD scale = ReadScale();
    if (nativeMs == INFINITE)
        return INFINITE;
    unsigned long long scaled = static_cast<unsigned long long>(nativeMs) * scale;
    return scaled < INFINITE ? DWORD(scaled) : INFINITE - 1;
}
