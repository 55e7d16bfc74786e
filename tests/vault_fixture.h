#pragma once
// A vault store on a scratch registry key and a vaults root in a scratch folder, with one new
// unlocked vault (password "pw") in it.

#include <gtest/gtest.h>

#include <string>

#include "engine/vault_store.h"
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

    ScratchKey key;
    CRegistryKey appKey;
    VaultStore store;
    ScratchFolder root;
    VaultRecord vault;
};
