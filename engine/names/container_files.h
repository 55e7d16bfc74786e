#pragma once
// The names of what the program keeps in the vaults root for one vault besides its folder: the
// container root\<valueName> ("%8.8x.vlt" of the vault's id) and the working files beside it,
// each named <valueName>.<kind>, some with a number after a space ("<valueName>.replaced 2").
//
// Every such name comes from here, and everything that must know them asks here: the vault name
// rule refuses them all, Remove deletes those that go with their vault, Create takes no id whose
// names are in use, recovery settles them. A kind added to the table is known to all of them.

#include <string>
#include <vector>

enum class ContainerFile {
    Container,  // the container itself
    Partial,    // ".partial": what a lock writes until the container is complete on the disk
    Journal,    // ".unlocking": an unlock's journal (RestoreJournal)
    Replaced,   // ".replaced", ".replaced 2", ...: a folder of the user's files an unlock moved
                // aside
    Rewrapped,  // ".new": a strong container under a new password, until it takes the place of
                // the container (RewrappedContainerPath)
    Converted,  // ".strong": a classic container rewritten as a strong one (ConvertContainerProc),
                // until the record says strong and it takes the place of the container
    Kept,       // ".unfinished", ".unfinished 2", ...: a partial container that recovery kept
                // because it may hold the only copy of some files; only the user deletes it
};

// The path of the working file `kind` of the container at `container`; a number above 1 is
// written after the name of the kinds that are numbered (Replaced, Kept).
std::string ContainerFilePath(const std::string& container, ContainerFile kind, int number = 1);

// True when `name`, a name in the vaults root, is a container's name or begins with one
// followed by a dot: eight hexadecimal digits and ".vlt", in any letter case. Every file the
// program keeps beside a container is named so, a kind added later too, so no vault may take
// such a name (CheckVaultName).
bool IsContainerFileName(const std::string& name);

// Which of the files of the container at `container` the path is, compared as the file system
// compares names (letter case aside); false when it is none of them.
bool KindOfContainerFile(const std::string& container, const std::string& path,
                         ContainerFile* kind);

// Whether a file of this kind goes when its vault is removed: all but a kept partial container,
// which may hold the only copy of some files and stays until the user decides.
bool GoesWithItsVault(ContainerFile kind);

// The full paths of everything in the container's folder (the vaults root) whose name is the
// container's or begins with it and a dot: its own files, of every kind, and names the table
// does not know (which stay where they are, and keep the id from a new vault).
std::vector<std::string> ContainerFilesOf(const std::string& container);
