#pragma once
// Turning a classic vault into one whose contents are encrypted with its password
// (VaultRecord::Protect), and settling such a change of a locked vault that was cut short.
//
// A locked vault's change takes three steps, so that whatever instant the process ends at, one
// complete container opens with the password the saved record accepts: the classic container is
// rewritten beside itself as a strong one (ContainerFile::Converted) and flushed; the record,
// flushed, takes the strong kind and its verifier; then the copy takes the container's place.

#include <string>

class VaultRecord;

// The working file a locked vault's change writes its strong container into.
std::string ConvertedContainerPath(const VaultRecord& record, const std::string& root);

// With a converted copy beside the container, what the record says decides, without the
// password: a vault whose record says strong and not unlocked (locked, or being unlocked) took
// it only once it was complete on the disk, so it takes the container's place; else it goes (a
// classic record never took it, and beside an unlocked vault the folder holds everything). The
// program and the companion do this at every start and before every unlock. False only when a
// file operation fails (the system's error says why); the copy then stays for the next try.
bool SettleConvertedContainer(const VaultRecord& record, const std::string& root);
