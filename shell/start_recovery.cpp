#include "start_recovery.h"

#include <windows.h>

#include "../engine/vault/vault_recovery.h"
#include "../framework/win_app.h"
#include "root_move_recovery.h"

std::vector<std::string> RecoverAtStart(CRegistryKey& settings, const VaultStore& store,
                                        const std::string& root)
{
    std::vector<std::string> notes;
    std::string moveNote = RecoverRootMove(settings, store, root);
    if (!moveNote.empty())
        notes.push_back(moveNote);
    for (const std::string& note : RecoverVaults(store, root))
        notes.push_back(note);
    return notes;
}

void RecoverVaultsAtStart(CRegistryKey& settings, const VaultStore& store,
                          const std::string& root)
{
    std::string text;
    for (const std::string& note : RecoverAtStart(settings, store, root))
        text += (text.empty() ? "" : "\r\n\r\n") + note;
    if (!text.empty())
        MessageBoxA(nullptr, text.c_str(), AfxGetAppName().c_str(),
                    MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
}
