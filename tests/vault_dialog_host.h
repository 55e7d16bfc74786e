#pragma once
// What the vault dialogs find through the application object: its store on a scratch key and a
// scratch folder as the vaults root.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "scratch.h"
#include "shell/vaults_app.h"

class VaultDialogTest : public ::testing::Test {
protected:
    VaultDialogTest()
    {
        EXPECT_TRUE(app.OpenSharedObjects(key.Handle(), "App"));
        app.SetVaultsRoot(root.Path());
    }

    VaultStore& Store() { return app.GetVaultStore(); }
    // A saved, unlocked vault with its folder in the root.
    VaultRecord AddVault(const std::string& name, const char* password)
    {
        VaultRecord record;
        EXPECT_TRUE(record.Create(Store(), root.Path(), name, password));
        EXPECT_TRUE(Store().Save(record));
        return record;
    }

    // The names in the root as the file system keeps them (letter case included), sorted.
    std::vector<std::string> RootNames() const
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((root / "*").c_str(), &found);
        for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
            if (std::string(found.cFileName) != "." && std::string(found.cFileName) != "..")
                names.push_back(found.cFileName);
        if (search != INVALID_HANDLE_VALUE)
            FindClose(search);
        std::sort(names.begin(), names.end());
        return names;
    }

    ScratchKey key;
    ScratchFolder root;
    CVaultsApp app;
};
