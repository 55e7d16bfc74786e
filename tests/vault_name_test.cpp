#include <gtest/gtest.h>

#include "engine/names/vault_name.h"

TEST(IsValidVaultName, AcceptsFolderNamesAndRefusesTheRest)
{
    const char* accepted[] = {"Private", "My Files", ".hidden", "a.b", "Con tracts", "COM10",
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
        // COM and LPT with 0, or with a superscript 1, 2 or 3 (their bytes in Windows-1252)
        {"COM0", VaultNameProblem::DeviceName},
        {"lpt0.txt", VaultNameProblem::DeviceName},
        {"COM\xb9", VaultNameProblem::DeviceName},
        {"com\xb2.log", VaultNameProblem::DeviceName},
        {"LPT\xb3", VaultNameProblem::DeviceName},
        {"lpt\xb9 .x", VaultNameProblem::DeviceName},
        {"LPT\xb2", VaultNameProblem::DeviceName},
        {"COM\xb3.tar.gz", VaultNameProblem::DeviceName},
        {"COM\xb9" "4", VaultNameProblem::None},
        {"COM\xbc", VaultNameProblem::None},  // one quarter: no device
        {"COM00", VaultNameProblem::None},
        {"dot.", VaultNameProblem::TrailingDotOrSpace},
        {"..", VaultNameProblem::TrailingDotOrSpace},
        {"space ", VaultNameProblem::TrailingDotOrSpace},
        // a container's name, or one followed by a dot: a file the program keeps beside it
        {"6b1b7595.vlt", VaultNameProblem::ContainerFileName},
        {"6B1B7595.VLT", VaultNameProblem::ContainerFileName},
        {"6b1b7595.vlt.partial", VaultNameProblem::ContainerFileName},
        {"6b1b7595.vlt.unlocking", VaultNameProblem::ContainerFileName},
        {"6b1b7595.vlt.replaced", VaultNameProblem::ContainerFileName},
        {"6b1b7595.vlt.replaced 2", VaultNameProblem::ContainerFileName},
        {"6b1b7595.Vlt.New", VaultNameProblem::ContainerFileName},
        {"0123abcd.vlt.unfinished", VaultNameProblem::ContainerFileName},
        {"0123ABCD.vlt.not one yet", VaultNameProblem::ContainerFileName},
        {"6b1b7595.vlt.", VaultNameProblem::TrailingDotOrSpace},
        {"6b1b7595.vltx", VaultNameProblem::None},
        {"6b1b7595.vlt 2", VaultNameProblem::None},
        {"6b1b7595.vl", VaultNameProblem::None},
        {"6b1b759.vlt", VaultNameProblem::None},
        {"6b1b759g.vlt", VaultNameProblem::None},
        {"x6b1b7595.vlt", VaultNameProblem::None},
        {"6b1b7595 vlt.partial", VaultNameProblem::None},
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
    // Inside a vault folder, a container's name is a name like any other.
    const char* safe[] = {"a", "Letters\\2009\\march.doc", ".hidden", "with space\\x y", "a.b/c",
                          "..name", "COM10", "nul-not.txt", "console", "dir\\LPT10",
                          "6b1b7595.vlt.partial", "COM\xb9" "4"};
    for (const char* name : safe)
        EXPECT_TRUE(IsSafeRelativeName(name)) << name;
    const char* unsafe[] = {"",        "\\abs",    "/abs",   "C:\\x",     "C:x",
                            "..",      "..\\up",   "a\\..\\..\\up", "a/../b", "a\\\\b",
                            "a\\",     ".",        "a\\.\\b", "file:stream", "tab\tname",
                            // names Windows trims, so they would land on another file
                            "name..", "trail.", "trail ", "dir.\\x", "dir \\x",
                            // device names, in any component, case and with any extension
                            "NUL", "NUL.txt", "nul.tar.gz", "AUX", "aux.c", "COM1", "lpt9.doc",
                            "a\\CON", "CON\\a", "nul .txt", "conin$", "COM0", "dir\\lpt0.doc",
                            "COM\xb9", "dir\\LPT\xb2.txt", "com\xb3\\x",
                            // characters no file name may hold (a bit flip away)
                            "wild*card", "what?", "a<b", "a>b", "a|b", "q\"uote"};
    for (const char* name : unsafe)
        EXPECT_FALSE(IsSafeRelativeName(name)) << name;
}

// A vault encrypted with its password keeps UTF-8 names: the same rules hold, the superscript
// digits that make COM and LPT devices being two bytes there, and a byte that would be one in
// Windows-1252 being part of another character.
TEST(IsSafeRelativeName, HoldsForUtf8Names)
{
    const struct {
        const char* name;
        bool safe;
    } cases[] = {
        {"\xd0\x9e\xd1\x82\xd1\x87\xd1\x91\xd1\x82.docx", true},  // Cyrillic
        {"\xe6\x97\xa5\xe8\xa8\x98\\\xf0\x9f\x98\x80.txt", true},   // CJK folder, an emoji
        {"COM\xc2\xb9", false},
        {"dir\\lpt\xc2\xb2.txt", false},
        {"COM\xc2\xb3 .x", false},
        {"COM\xc2\xbc", true},  // one quarter: no device
        {"COM\xb9", true},      // not a superscript in UTF-8 (nor valid text; read elsewhere)
        {"COM\xc2\xb9" "4", true},
        {"\xce\xb1\\..\\up", false},
        {"\xce\xb1 ", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsSafeRelativeName(c.name, NameEncoding::UTF8), c.safe) << c.name;
}
