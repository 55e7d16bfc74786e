#pragma once
// The question before a vault is removed, whichever way the user asked for it (Remove in the
// Manage dialog, the Delete key in the vault list).

#include <string>

class CWnd;
class VaultRecord;

// Asks whether the vault of `record` is to be removed, all its contents with it (a message box
// captioned `caption`), then for its password; both owned by `owner`. True only when the user
// answered Yes and proved the password.
bool ConfirmVaultRemoval(CWnd& owner, const VaultRecord& record, const std::string& caption);
