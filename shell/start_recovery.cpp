#include "start_recovery.h"

#include <windows.h>

#include "../engine/vault_recovery.h"
#include "../framework/win_app.h"

void RecoverVaultsAtStart(const VaultStore& store, const std::string& root)
{
    std::string text;
    for (const std::string& note : RecoverVaults(store, root))
        text += (text.empty() ? "" : "\r\n\r\n") + note;
    if (!text.empty())
        MessageBoxA(nullptr, text.c_str(), AfxGetAppName().c_str(),
                    MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
}
