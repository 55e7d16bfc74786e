#include <gtest/gtest.h>

#include "engine/vault_name.h"

TEST(IsValidVaultName, AcceptsFolderNamesAndRefusesTheRest)
{
    const char* accepted[] = {"Private", "My Files", ".hidden", "a.b", "Con tracts", "COM0",
                              "LPT10", "\xe9t\xe9"};
    for (const char* name : accepted)
        EXPECT_TRUE(IsValidVaultName(name)) << name;

    const char* refused[] = {"",      "a\\b",   "a/b",   "c:",   "wh*",   "wh?",  "\"q\"",
                             "<",     ">",      "a|b",   "dot.", "space ", ".",   "..",
                             "CON",   "con",    "nul.txt", "COM1", "lpt9", "AUX .x", "tab\t"};
    for (const char* name : refused)
        EXPECT_FALSE(IsValidVaultName(name)) << name;

    EXPECT_TRUE(IsValidVaultName(std::string(MAX_VAULT_NAME, 'n')));
    EXPECT_FALSE(IsValidVaultName(std::string(MAX_VAULT_NAME + 1, 'n')));
}

TEST(CheckVaultName, NamesTheRuleARefusedNameBreaks)
{
    const struct {
        std::string name;
        VaultNameProblem problem;
    } cases[] = {
        {"Private", VaultNameProblem::None},
        {std::string(MAX_VAULT_NAME, 'n'), VaultNameProblem::None},
        {"", VaultNameProblem::Empty},
        {std::string(MAX_VAULT_NAME + 1, 'n'), VaultNameProblem::TooLong},
        {std::string(MAX_VAULT_NAME, 'n') + "*", VaultNameProblem::TooLong},
        {"a\\b", VaultNameProblem::ReservedCharacter},
        {"c:", VaultNameProblem::ReservedCharacter},
        {"q\"", VaultNameProblem::ReservedCharacter},
        {"tab\t", VaultNameProblem::ReservedCharacter},
        {"con", VaultNameProblem::DeviceName},
        {"nul.txt", VaultNameProblem::DeviceName},
        {"LPT9", VaultNameProblem::DeviceName},
        {"CONOUT$", VaultNameProblem::DeviceName},
        {"CON.", VaultNameProblem::DeviceName},
        {"dot.", VaultNameProblem::TrailingDotOrSpace},
        {"..", VaultNameProblem::TrailingDotOrSpace},
        {"space ", VaultNameProblem::TrailingDotOrSpace},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(CheckVaultName(test.name), test.problem) << test.name;
        EXPECT_EQ(IsValidVaultName(test.name), test.problem == VaultNameProblem::None) << test.name;
        EXPECT_EQ(VaultNameProblemText(test.problem, test.name).empty(),
                  test.problem == VaultNameProblem::None)
            << test.name;
    }
}

TEST(IsSafeRelativeName, KeepsNamesInsideTheVaultFolder)
{
    const char* safe[] = {"a", "Letters\\2009\\march.doc", ".hidden", "with space\\x y", "a.b/c",
                          "..name", "COM0", "nul-not.txt", "console", "dir\\LPT10"};
    for (const char* name : safe)
        EXPECT_TRUE(IsSafeRelativeName(name)) << name;
    const char* unsafe[] = {"",        "\\abs",    "/abs",   "C:\\x",     "C:x",
                            "..",      "..\\up",   "a\\..\\..\\up", "a/../b", "a\\\\b",
                            "a\\",     ".",        "a\\.\\b", "file:stream", "tab\tname",
                            // names Windows trims, so they would land on another file
                            "name..", "trail.", "trail ", "dir.\\x", "dir \\x",
                            // device names, in any component, case and with any extension
                            "NUL", "NUL.txt", "nul.tar.gz", "AUX", "aux.c", "COM1", "lpt9.doc",
                            "a\\CON", "CON\\a", "nul .txt", "conin$",
                            // characters no file name may hold (a bit flip away)
                            "wild*card", "what?", "a<b", "a>b", "a|b", "q\"uote"};
    for (const char* name : unsafe)
        EXPECT_FALSE(IsSafeRelativeName(name)) << name;
}
