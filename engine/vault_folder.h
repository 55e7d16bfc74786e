#pragma once
// The disk work of one vault: its folder root\name and its container root\valueName.
// Holds nothing but the reference to its record.

#include <string>

class VaultRecord;

class VaultFolder {
public:
    explicit VaultFolder(VaultRecord& record) : record_(&record) {}

    std::string FolderPath(const std::string& root) const;
    std::string ContainerPath(const std::string& root) const;

    // Moves root\name to root\newName; true on success.
    bool MoveFolder(const std::string& root, const std::string& newName) const;
    // Creates root\name and missing parents; true when it exists afterwards.
    bool EnsureFolder(const std::string& root) const;

private:
    friend class VaultRecord;
    VaultRecord* record_;
};
