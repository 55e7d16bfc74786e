#include "companion_vault.h"

#include "program.h"

CompanionVault::CompanionVault(const std::string& vaultName,
                               const std::map<std::string, std::string>& files)
    : name(vaultName)
{
    ProgramUnderTest::ForgetSettings();
    ProgramUnderTest::SetVaultsRoot(root.Path());
    CliRun created = RunCli({"create", name}, "pw\n");
    EXPECT_EQ(created.exitCode, 0) << created.err;
    std::string list = RunCli({"list"}).out;
    containerName = list.substr(list.rfind('\t') + 1, 12);
    for (const auto& file : files) {
        std::string path = Folder() + "\\" + file.first;
        for (size_t at = path.find('\\', Folder().size() + 1); at != std::string::npos;
             at = path.find('\\', at + 1))
            CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
        WriteFileBytes(path, file.second);
    }
    original = Files();
}

CompanionVault::~CompanionVault() { ProgramUnderTest::ForgetSettings(); }

std::string CompanionVault::ListedState(std::string* notes) const
{
    CliRun list = RunCli({"list"});
    EXPECT_EQ(list.exitCode, 0) << list.err;
    if (notes) {
        notes->clear();
        for (size_t at = list.err.find("orvella-cli: "); at != std::string::npos;
             at = list.err.find("orvella-cli: ", at + 1))
            *notes += list.err.substr(at, list.err.find('\n', at) - at) + "\n";
    }
    std::string prefix = name + "\t";
    if (list.out.compare(0, prefix.size(), prefix) != 0)
        return "(not listed) " + list.out;
    return list.out.substr(prefix.size(), list.out.find('\t', prefix.size()) - prefix.size());
}

bool CompanionVault::Lock() const
{
    CliRun run = RunCli({"lock", name}, "pw\n");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run.exitCode == 0;
}

bool CompanionVault::Unlock() const
{
    CliRun run = RunCli({"unlock", name}, "pw\n");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run.exitCode == 0;
}

void CompanionVault::ExpectOneForm(bool locked) const
{
    EXPECT_EQ(Exists(Container()), locked);
    EXPECT_EQ(Exists(Folder()), !locked);
    EXPECT_FALSE(Exists(Container() + ".partial"));
    EXPECT_FALSE(Exists(Container() + ".unlocking"));
    EXPECT_FALSE(Exists(Container() + ".replaced"));
}
