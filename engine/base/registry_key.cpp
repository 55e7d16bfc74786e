#include "registry_key.h"

#include <vector>

LONG LastStatus = ERROR_SUCCESS;

CRegistryKey::CRegistryKey(const char* subKey, HKEY parent) { Open(subKey, parent); }

CRegistryKey::~CRegistryKey() { Close(); }

bool CRegistryKey::Open(const char* subKey, HKEY parent)
{
    HKEY opened = nullptr;
    LastStatus = RegCreateKeyExA(parent, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_ALL_ACCESS, nullptr, &opened, nullptr);
    if (LastStatus != ERROR_SUCCESS)
        return false;
    handle_ = opened;
    return true;
}

bool CRegistryKey::OpenExisting(const char* subKey, HKEY parent)
{
    HKEY opened = nullptr;
    LastStatus = RegOpenKeyExA(parent, subKey, 0, KEY_ALL_ACCESS, &opened);
    if (LastStatus != ERROR_SUCCESS)
        return false;
    handle_ = opened;
    return true;
}

void CRegistryKey::Close()
{
    RegCloseKey(handle_);
    handle_ = nullptr;
}

DWORD CRegistryKey::ReadDword(const char* name, DWORD defaultValue) const
{
    DWORD value = defaultValue;
    DWORD size = sizeof(value);
    LastStatus = RegQueryValueExA(handle_, name, nullptr, nullptr,
                                  reinterpret_cast<BYTE*>(&value), &size);
    return value;
}

bool CRegistryKey::WriteDword(const char* name, DWORD value)
{
    LastStatus = RegSetValueExA(handle_, name, 0, REG_DWORD,
                                reinterpret_cast<const BYTE*>(&value), sizeof(value));
    return LastStatus == ERROR_SUCCESS;
}

std::string CRegistryKey::ReadString(const char* name, const std::string& defaultValue) const
{
    DWORD size = 0;
    if (RegQueryValueExA(handle_, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS ||
        size == 0)
        return defaultValue;
    std::vector<char> text(size);  // size - 1 characters and the terminator
    LastStatus = RegQueryValueExA(handle_, name, nullptr, nullptr,
                                  reinterpret_cast<BYTE*>(text.data()), &size);
    if (LastStatus != ERROR_SUCCESS)
        return defaultValue;
    return std::string(text.data(), text.size() - 1).c_str();
}

bool CRegistryKey::WriteString(const char* name, const std::string& text)
{
    LastStatus = RegSetValueExA(handle_, name, 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(text.c_str()),
                                static_cast<DWORD>(text.size() + 1));
    return LastStatus == ERROR_SUCCESS;
}

void* CRegistryKey::ReadBinary(const char* name, void* buffer, DWORD capacity, DWORD* size) const
{
    DWORD reported = capacity;
    LastStatus = RegQueryValueExA(handle_, name, nullptr, nullptr,
                                  static_cast<BYTE*>(buffer), &reported);
    if (size)
        *size = reported;
    return LastStatus == ERROR_SUCCESS ? buffer : nullptr;
}

bool CRegistryKey::WriteBinary(const char* name, const void* data, DWORD length)
{
    LastStatus = RegSetValueExA(handle_, name, 0, REG_BINARY,
                                static_cast<const BYTE*>(data), length);
    return LastStatus == ERROR_SUCCESS;
}

bool CRegistryKey::DeleteValue(const char* name)
{
    LastStatus = RegDeleteValueA(handle_, name);
    return LastStatus == ERROR_SUCCESS;
}

bool CRegistryKey::Flush()
{
    LastStatus = RegFlushKey(handle_);
    return LastStatus == ERROR_SUCCESS;
}
