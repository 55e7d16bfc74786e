#pragma once
// A container read against a folder, as the start-up recovery needs it: which of its entries
// the folder has, and which of its files the folder holds with the very same bytes. The container
// is read without its password: the cipher's state does not depend on it. (Only a classic
// container: one encrypted with its vault's password cannot be read here.)

#include <cstdint>
#include <string>
#include <vector>

struct ComparedEntry {
    std::string relative;  // below the vault folder
    bool isDirectory;
    bool inFolder;  // the folder has an entry of this name and kind
    bool same;      // a file: the folder's file has exactly these bytes; a folder: as inFolder
};

// Reads every entry of container and looks for it below folder. False when the container cannot
// be read to its end as a sound one (damaged, cut short, or a name that would leave the folder);
// then *entries says nothing.
bool CompareContainerWithFolder(const std::string& container, const std::string& folder,
                                std::vector<ComparedEntry>* entries);
