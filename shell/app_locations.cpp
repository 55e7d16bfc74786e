#include "app_locations.h"

#include "../engine/files/directory_tree.h"
#include "settings.h"

namespace {

// Read directly (not through CRegistryKey): the key is opened read-only.
std::string ReadAppDataFolder()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SHELL_FOLDERS_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::string();
    std::string folder;
    DWORD size = 0;
    if (RegQueryValueExA(key, "AppData", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS &&
        size > 0) {
        std::string text(size, '\0');
        if (RegQueryValueExA(key, "AppData", nullptr, nullptr,
                             reinterpret_cast<BYTE*>(&text[0]), &size) == ERROR_SUCCESS)
            folder = text.c_str();
    }
    RegCloseKey(key);
    return folder;
}

}  // namespace

std::string ApplicationKeyPath(const std::string& brand, const std::string& title)
{
    return "Software\\" + brand + "\\" + title;
}

std::string DefaultVaultsRoot(const std::string& brand, const std::string& title)
{
    return ReadAppDataFolder() + "\\" + brand + "\\" + title + "\\";
}

std::string ReadVaultsRoot(const CRegistryKey& settings, const std::string& defaultRoot)
{
    return settings.ReadString(SETTING_VAULTS_ROOT, defaultRoot);
}

bool SaveVaultsRoot(CRegistryKey& settings, const std::string& root)
{
    CreateDirectoryTree(root);
    return settings.WriteString(SETTING_VAULTS_ROOT, root) && settings.Flush();
}
