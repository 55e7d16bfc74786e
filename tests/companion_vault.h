#pragma once
// One vault of the program's own store, made and driven through the console companion, in a
// scratch vaults root. The program's settings are removed before and after.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "scratch.h"
#include "wide_tree.h"

// Puts `files` (relative path -> bytes, folders made as needed) into folder.
void WriteTree(const std::string& folder, const std::map<std::string, std::string>& files);

// What the companion told the user besides its output: the lines of `err` that begin with
// "orvella-cli: ", each ending in a newline.
std::string CompanionNotes(const std::string& err);

class CompanionVault {
public:
    // Creates the classic vault `name` with `password` and puts `files` (relative path -> bytes,
    // folders made as needed) into its folder.
    CompanionVault(const std::string& name, const std::map<std::string, std::string>& files,
                   const std::string& password = "pw");
    ~CompanionVault();

    std::string Folder() const { return root / name; }
    std::string Container() const { return root / containerName; }

    // Runs `orvella-cli list`, whose start puts the vault right first: "locked" or "unlocked".
    // *notes gets what the companion told the user besides the list.
    std::string ListedState(std::string* notes = nullptr) const;
    // Lock and unlock through the companion; true on its success.
    bool Lock() const;
    bool Unlock() const;
    // Everything in the vault's folder.
    WideTree Files() const { return SnapshotTree(Prefixed(Folder())); }
    // The vault is in one of its two forms, with nothing of a lock, an unlock or a conversion
    // left beside it.
    void ExpectOneForm(bool locked) const;

    ScratchFolder root;
    std::string name;
    std::string password;
    std::string containerName;  // the record's valueName
    WideTree original;          // the files as they were put in
};
