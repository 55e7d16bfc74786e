#pragma once
// The writer and reader of a vault job's entry stream, as the vault's kind needs them: the
// classic container through the job's cipher, or a strong container through its password.

#include <memory>

#include "entry_stream.h"
#include "vault_job.h"
#include "win_file.h"

// A strong container's header is written here (after a slow derivation). Null when it cannot
// be (the system's error says why).
std::unique_ptr<EntryWriter> MakeEntryWriter(VaultJob& job, WinFile& container);

// A strong container's header is read and its content key unwrapped here. Null when it cannot
// be: *refused when the container is not one of its kind or the password does not open it,
// else the system's error says why.
std::unique_ptr<EntryReader> MakeEntryReader(VaultJob& job, WinFile& container, bool* refused);
