#pragma once
// The console companion's commands over the program's own store and vaults root.

#include <string>
#include <vector>

#include "../engine/base/registry_key.h"
#include "../engine/vault/vault_store.h"

enum ExitCode {
    EXIT_OK = 0,
    EXIT_FAILED = 1,
    EXIT_USAGE = 2,
    EXIT_WRONG_PASSWORD = 3,
    EXIT_NO_SUCH_VAULT = 4,
};

// The program's settings key, vault store and vaults root, read as the program reads them.
struct CliContext {
    bool Open();

    CRegistryKey settings;
    VaultStore store;
    std::string root;
};

// Runs one command line (without the program name); returns the exit code.
int RunCommand(CliContext& context, const std::vector<std::string>& arguments);

extern const char kUsage[];
