#include <gtest/gtest.h>

#include <cctype>

#include "engine/names/container_files.h"
#include "engine/names/vault_name.h"

namespace {

const std::string kRoot = "C:\\Vaults";
const std::string kContainer = kRoot + "\\6b1b7595.vlt";

std::string Upper(std::string text)
{
    for (char& c : text)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

// Every name the table gives a file beside a container, of every kind and number, is known again
// as that kind of that container (in any letter case) and refused as a vault's name, so that no
// kind can be known to one of the name rule, Remove and recovery and missed by another.
TEST(ContainerFiles, EveryNameKeptBesideAContainerIsKnownAndNoVaultsName)
{
    const ContainerFile kinds[] = {ContainerFile::Container, ContainerFile::Partial,
                                   ContainerFile::Journal,   ContainerFile::Replaced,
                                   ContainerFile::Rewrapped, ContainerFile::Converted,
                                   ContainerFile::Kept};
    for (ContainerFile kind : kinds)
        for (int number : {1, 2, 10}) {
            std::string path = ContainerFilePath(kContainer, kind, number);
            std::string name = path.substr(kRoot.size() + 1);
            SCOPED_TRACE(name);
            for (const std::string& spelt : {path, Upper(path)}) {
                ContainerFile found = ContainerFile::Container;
                EXPECT_TRUE(KindOfContainerFile(kContainer, spelt, &found));
                EXPECT_EQ(found, kind);
            }
            EXPECT_EQ(CheckVaultName(name), VaultNameProblem::ContainerFileName);
        }
    EXPECT_EQ(ContainerFilePath(kContainer, ContainerFile::Replaced, 2),
              kContainer + ".replaced 2");
    EXPECT_EQ(ContainerFilePath(kContainer, ContainerFile::Partial, 2), kContainer + ".partial");
    EXPECT_FALSE(GoesWithItsVault(ContainerFile::Kept));
    EXPECT_TRUE(GoesWithItsVault(ContainerFile::Replaced));
    EXPECT_TRUE(GoesWithItsVault(ContainerFile::Converted));
}

TEST(ContainerFiles, OtherNamesAreNoneOfTheContainersFiles)
{
    const char* const others[] = {"6b1b7595.vlt.partialx", "6b1b7595.vlt.replaced 1",
                                  "6b1b7595.vlt.replaced 02", "6b1b7595.vlt.replaced2",
                                  "6b1b7595.vlt.new 2", "6b1b7595.vlt.strong 2",
                                  "6b1b7595.vlt.other",
                                  "6b1b7596.vlt.partial", "6b1b7595.vltpartial", "Papers"};
    ContainerFile kind;
    for (const char* name : others)
        EXPECT_FALSE(KindOfContainerFile(kContainer, kRoot + "\\" + name, &kind)) << name;
    EXPECT_FALSE(KindOfContainerFile(kContainer, "D:\\Other\\6b1b7595.vlt.partial", &kind));
}
