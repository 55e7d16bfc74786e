#pragma once
// The writer and reader of a vault job's entry stream, as the vault's kind needs them: the
// classic container through the job's cipher, or a strong container through its password.

#include <memory>

#include "../container/entry_stream.h"
#include "../files/win_file.h"
#include "vault_job.h"

// A strong container's header is written here (after a slow derivation). Null when it cannot
// be (the system's error says why). The stream takes its names in the job's encoding, which is
// the container's: ANSI for a classic one, UTF-8 for a strong one (STRONG_LATEST_VERSION).
std::unique_ptr<EntryWriter> MakeEntryWriter(VaultJob& job, WinFile& container);

enum class ReaderRefusal {
    NONE,         // the system's error says why there is no reader
    NOT_OPENED,   // not a container of its kind, or the password does not open it as the vault's
    OTHER_LOCK,   // a container of the vault's, but not the one its latest lock wrote
};

// A strong container's header is read and its content key unwrapped here. Null when it cannot
// be, and *refused says why. The reader says in which encoding its stream holds names.
std::unique_ptr<EntryReader> MakeEntryReader(VaultJob& job, WinFile& container,
                                             ReaderRefusal* refused);
