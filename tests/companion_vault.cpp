#include "companion_vault.h"

#include "program.h"

CompanionVault::CompanionVault(const std::string& vaultName,
                               const std::map<std::string, std::string>& files,
                               const std::string& vaultPassword)
    : name(vaultName), password(vaultPassword)
{
    ProgramUnderTest::ForgetSettings();
    ProgramUnderTest::SetVaultsRoot(root.Path());
    CliRun created = RunCli({"create", name}, password + "\n");
    EXPECT_EQ(created.exitCode, 0) << created.err;
    std::string list = RunCli({"list"}).out;
    containerName = list.substr(list.rfind('\t') + 1, 12);
    WriteTree(Folder(), files);
    original = Files();
}

CompanionVault::~CompanionVault() { ProgramUnderTest::ForgetSettings(); }

void WriteTree(const std::string& folder, const std::map<std::string, std::string>& files)
{
    for (const auto& file : files) {
        std::string path = folder + "\\" + file.first;
        for (size_t at = path.find('\\', folder.size() + 1); at != std::string::npos;
             at = path.find('\\', at + 1))
            CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
        WriteFileBytes(path, file.second);
    }
}

std::string CompanionNotes(const std::string& err)
{
    std::string notes;
    for (size_t at = err.find("orvella-cli: "); at != std::string::npos;
         at = err.find("orvella-cli: ", at + 1))
        notes += err.substr(at, err.find('\n', at) - at) + "\n";
    return notes;
}

std::string CompanionVault::ListedState(std::string* notes) const
{
    CliRun list = RunCli({"list"});
    EXPECT_EQ(list.exitCode, 0) << list.err;
    if (notes)
        *notes = CompanionNotes(list.err);
    std::string prefix = name + "\t";
    if (list.out.compare(0, prefix.size(), prefix) != 0)
        return "(not listed) " + list.out;
    return list.out.substr(prefix.size(), list.out.find('\t', prefix.size()) - prefix.size());
}

bool CompanionVault::Lock() const
{
    CliRun run = RunCli({"lock", name}, password + "\n");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run.exitCode == 0;
}

bool CompanionVault::Unlock() const
{
    CliRun run = RunCli({"unlock", name}, password + "\n");
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
    EXPECT_FALSE(Exists(Container() + ".strong"));
}
