#include "autorun.h"

#include "../engine/base/registry_key.h"
#include "../framework/win_app.h"
#include "settings.h"

std::string AutorunCommand() { return "\"" + ModuleFilePath() + "\""; }

void SetAutorun(const std::string& title, bool on)
{
    CRegistryKey runKey(RUN_KEY, HKEY_CURRENT_USER);
    if (on)
        runKey.WriteString(title.c_str(), AutorunCommand());
    else
        runKey.DeleteValue(title.c_str());
}
