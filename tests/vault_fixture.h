#pragma once
// A vault store on a scratch registry key and a vaults root in a scratch folder, with one new
// unlocked vault (password "pw") in it.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/vault/vault_store.h"
#include "scratch.h"

class VaultFixture {
public:
    explicit VaultFixture(const char* name) : appKey("App", key.Handle())
    {
        store.Open(appKey);
        EXPECT_TRUE(vault.Create(store, root.Path(), name, "pw"));
    }

    std::string Folder() const { return vault.folder.FolderPath(root.Path()); }
    std::string Container() const { return vault.folder.ContainerPath(root.Path()); }
    std::string In(const std::string& relative) const { return Folder() + "\\" + relative; }

    // Another unlocked vault (password "pw") with a name that the name rule refuses now, such as
    // that of a file kept beside the first one's container, saved as a program before the rule
    // could save it. Its folder, made unless it is there, gets one file, "mine.txt".
    VaultRecord OlderVaultNamed(const std::string& name)
    {
        VaultRecord older;
        older.id = vault.id + 1000;
        std::strcpy(older.valueName, VaultRecord::ValueNameOf(older.id).c_str());
        std::strcpy(older.name, name.c_str());
        older.flags = VAULT_UNLOCKED;
        older.SetPassword("pw");
        EXPECT_TRUE(store.Save(older));
        CreateDirectoryA(older.folder.FolderPath(root.Path()).c_str(), nullptr);
        WriteFileBytes(older.folder.FolderPath(root.Path()) + "\\mine.txt", "the older vault's");
        EXPECT_TRUE(store.Load(older.id, older));
        return older;
    }

    ScratchKey key;
    CRegistryKey appKey;
    VaultStore store;
    ScratchFolder root;
    VaultRecord vault;
};
