#pragma once
// Where the program keeps its settings and vaults, as every front end of it (the program and
// the console companion) finds them.

#include <string>

#include "../engine/base/registry_key.h"

// "Software\<brand>\<title>", below HKEY_CURRENT_USER.
std::string ApplicationKeyPath(const std::string& brand, const std::string& title);
// AppData\<brand>\<title>\ (with the trailing backslash); AppData reads as "" when missing.
std::string DefaultVaultsRoot(const std::string& brand, const std::string& title);
// The "VaultsRoot" setting, or defaultRoot when it is absent.
std::string ReadVaultsRoot(const CRegistryKey& settings, const std::string& defaultRoot);
// Creates root (and its parents; a failure is left to the vault operations to report) and saves
// it as "VaultsRoot", flushed to the disk. True when the value is saved and flushed.
bool SaveVaultsRoot(CRegistryKey& settings, const std::string& root);
