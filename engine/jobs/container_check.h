#pragma once
// Checking a locked vault's container without unlocking it: the job reads the whole container
// through the reader an unlock would use and writes nothing. A strong container's header must
// open with the password and every segment pass its tag, to the one marked last; a classic one
// must hold whole entries (header, name, contents) to its very end.

#include <cstdint>
#include <string>

#include "vault_job.h"

struct ContainerCheck {
    // The vault and its password as an unlock has them (vaultName, containerPath, binding,
    // strong, password, cipher, streamId and streamKnown); total: the container's size.
    VaultJob job;
    // What the walk found sound, up to the end or the damage.
    uint64_t files = 0;
    uint64_t folders = 0;
    uint64_t bytes = 0;     // the files' contents
    uint64_t segments = 0;  // a strong container's segments whose tags were checked
    // What is wrong with the container; empty when the walk reached its end.
    std::string damage;
    // The damage is a strong header that does not open with the password.
    bool headerRefused = false;
};

// Walks check->job's container. Completes (damage set or not) once the container has been read
// to its end or to its damage; fails, after telling the user why, when it cannot be read.
DWORD WINAPI CheckContainerProc(void* check);

// What a completed check tells the user: what was checked and found sound, or what is wrong.
std::string CheckResultText(const ContainerCheck& check);
