#include <gtest/gtest.h>

#include "engine/files/directory_tree.h"
#include "scratch.h"

TEST(CreateDirectoryTree, CreatesMissingParentsAndAcceptsExistingOnes)
{
    ScratchFolder root;
    std::string deep = root / "p\\q\\r";
    EXPECT_TRUE(CreateDirectoryTree(deep));
    EXPECT_TRUE(Exists(root / "p\\q"));
    EXPECT_TRUE(GetFileAttributesA(deep.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(CreateDirectoryTree(deep)) << "an existing directory counts as success";
}

TEST(CreateDirectoryTree, FailsBelowAFileAndWithoutAnyParent)
{
    ScratchFolder root;
    WriteFileBytes(root / "file", "x");
    EXPECT_FALSE(CreateDirectoryTree(root / "file\\sub"));
    EXPECT_FALSE(CreateDirectoryTree("nobackslash-\x01"));
}
