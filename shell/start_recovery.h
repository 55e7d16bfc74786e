#pragma once
// The program's part in start-up recovery: every vault is put right from what is on disk
// (RecoverVaults), and what the user must know is shown in one message box.

#include <string>

class VaultStore;

void RecoverVaultsAtStart(const VaultStore& store, const std::string& root);
