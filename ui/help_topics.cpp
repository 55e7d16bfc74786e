// Which topic of the help file belongs to which control: the controls' help context ids
// (0x80000000 + template id x 65536 + control id, carried in the dialog templates) and the topic
// file names inside the help file.

#include "help.h"

#include "../resources/resource.h"

namespace {

struct HelpTopicRange {
    DWORD first;
    DWORD last;
    const char* topic;
};

const char kLocations[] = "Changing Vault Locations on Your Computer.html";
const char kRunningWarnings[] = "Hiding Already running Warnings.html";
const char kRenaming[] = "Renaming Vaults.html";
const char kPasswords[] = "Changing Passwords.html";

const HelpTopicRange kTopics[] = {
    {HIDC_EXIT, HIDC_EXIT, "Closing Zovantri Orvella.html"},
    {HIDC_ROOT_DIRECTORY, HIDC_ROOT_DIRECTORY, kLocations},
    {HIDC_SELECT_ROOT, HIDC_SELECT_ROOT, kLocations},
    {HIDC_AUTORUN, HIDC_AUTORUN, "Starting Zovantri Orvella Automatically with Windows.html"},
    {HIDC_DONT_SHOW_RUNNING, HIDC_DONT_SHOW_RUNNING, kRunningWarnings},
    {HIDC_SHOW_VAULTS_ON_START, HIDC_SHOW_VAULTS_ON_START,
     "Displaying Zovantri Orvella Automatically.html"},
    // The stealth-mode check box, the hotkey-only check box and the hotkey field.
    {HIDC_HIDE_ICONS, HIDC_HOTKEY, "Using Stealth Mode.html"},
    {HIDC_VAULT_REMOVE, HIDC_VAULT_REMOVE, "Removing Vaults.html"},
    {HIDC_VAULT_NAME, HIDC_VAULT_NAME, kRenaming},
    {HIDC_NAME_GROUP, HIDC_NAME_GROUP, kRenaming},
    {HIDC_VAULT_CONFIRM, HIDC_VAULT_CONFIRM, kPasswords},
    {HIDC_VAULT_PASSWORD, HIDC_VAULT_PASSWORD, kPasswords},
    {HIDC_PASSWORD_GROUP, HIDC_PASSWORD_GROUP, kPasswords},
    {HIDC_VAULT_STRONG, HIDC_VAULT_STRONG, "Encrypting Vaults with Their Passwords.html"},
    {HIDC_DONT_SHOW_AGAIN, HIDC_DONT_SHOW_AGAIN, kRunningWarnings},
};

}  // namespace

std::string HelpTopicFor(DWORD contextId)
{
    for (const HelpTopicRange& range : kTopics)
        if (contextId >= range.first && contextId <= range.last)
            return range.topic;
    return "";
}
