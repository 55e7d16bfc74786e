#include "commands.h"

#include <cstdio>
#include <cstdarg>

#include "../engine/crypto/password_rule.h"
#include "../engine/files/directory_tree.h"
#include "../engine/names/vault_name.h"
#include "../engine/vault/vault_check.h"
#include "../engine/vault/vault_claim.h"
#include "../framework/win_app.h"
#include "../resources/resource.h"
#include "../shell/app_locations.h"
#include "console_front_end.h"
#include "password_input.h"

const char kUsage[] =
    "Usage: orvella-cli COMMAND [ARGUMENTS]\n"
    "Works on the vaults of Zovantri Orvella. Passwords are read from standard input,\n"
    "one per line. A vault encrypted with its password needs a password of at least\n"
    "8 characters that is not among the most common ones.\n"
    "\n"
    "  list                   one line per vault: name, locked or unlocked, container file\n"
    "  root                   the vaults root\n"
    "  create NAME            create an unlocked vault (password from standard input)\n"
    "  create --strong NAME   the same, its contents encrypted with the password\n"
    "  lock NAME              lock a vault (password)\n"
    "  unlock NAME            unlock a vault, without opening its folder (password)\n"
    "  unlock --accept-earlier NAME\n"
    "                         the same, taking a container that an earlier lock of the\n"
    "                         vault wrote (one put back from a backup, say)\n"
    "  rename NAME NEWNAME    rename a vault (password)\n"
    "  passwd NAME            change a vault's password (current, then new password)\n"
    "  remove NAME            delete a vault with all its files (password)\n"
    "  check NAME             read a locked vault's whole container and say whether it is\n"
    "                         sound, without unlocking it or writing anything (password)\n"
    "  protect NAME           encrypt a classic vault's contents with its password\n"
    "                         (password); there is no way back to a classic vault\n"
    "\n"
    "Exit codes: 0 success, 1 failure, 2 usage, 3 wrong password, 4 no such vault.\n"
    "Ctrl+C cancels a running lock or unlock; the vault then stays as it was.\n";

namespace {

int Fail(int code, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    std::fputs("orvella-cli: ", stderr);
    std::vfprintf(stderr, format, arguments);
    std::fputc('\n', stderr);
    va_end(arguments);
    return code;
}

bool FindVault(const VaultStore& store, const std::string& name, VaultRecord* record)
{
    for (bool found = store.First(*record); found; found = store.Next(*record))
        if (record->Name() == name)
            return true;
    return false;
}

// A name that can be a folder under the root and that no vault but exceptId has.
int CheckNewName(const CliContext& context, const std::string& name, uint32_t exceptId = 0)
{
    VaultNameProblem problem = CheckVaultName(name);
    if (problem != VaultNameProblem::None)
        return Fail(EXIT_FAILED, "%s", VaultNameProblemText(problem, name).c_str());
    if (!context.store.IsNameFree(name, context.root, exceptId))
        return Fail(EXIT_FAILED,
                    "The name \"%s\" is already used by a vault, a vault's container or a file "
                    "in %s.", name.c_str(), context.root.c_str());
    return EXIT_OK;
}

// A vault found by name, claimed for this command, read again and its password proved.
struct OpenedVault {
    VaultClaim claim;
    VaultRecord record;
    TypedSecret secret;
    const char* password = nullptr;  // in the form the vault takes; points into secret
};

// Finds the vault, claims it and checks its password; EXIT_OK with *vault filled.
int OpenVault(const CliContext& context, const std::string& name, OpenedVault* vault)
{
    VaultRecord& record = vault->record;
    if (!FindVault(context.store, name, &record))
        return Fail(EXIT_NO_SUCH_VAULT, "There is no vault named \"%s\".", name.c_str());
    if (!vault->claim.ClaimVault(context.root, record.id))
        return Fail(EXIT_FAILED, "%s", VaultInUseText(record.Name()).c_str());
    // Read again now that no one else can change it.
    if (!context.store.Load(record.id, record))
        return Fail(EXIT_NO_SUCH_VAULT, "There is no vault named \"%s\".", name.c_str());
    if (!ReadSecretLine("Password: ", &vault->secret))
        return Fail(EXIT_USAGE, "The password must be given on standard input.");
    vault->password = vault->secret.For(record.IsStrong()).c_str();
    if (!record.CheckPassword(vault->password))
        return Fail(EXIT_WRONG_PASSWORD, "Wrong password for vault \"%s\".", name.c_str());
    return EXIT_OK;
}

// A new password for a vault of the given kind; EXIT_OK when the vault may take it.
int CheckNewPassword(const TypedSecret& secret, bool strong)
{
    std::string problem = strong ? StrongPasswordProblem(secret.utf8) : std::string();
    if (!problem.empty())
        return Fail(EXIT_FAILED, "%s", problem.c_str());
    return EXIT_OK;
}

int Save(CliContext& context, const VaultRecord& record)
{
    if (context.store.Save(record))
        return EXIT_OK;
    return Fail(EXIT_FAILED, "The record of vault \"%s\" could not be saved (error %ld).",
                record.Name().c_str(), LastStatus);
}

int List(CliContext& context)
{
    VaultRecord record;
    for (bool found = context.store.First(record); found; found = context.store.Next(record))
        std::printf("%s\t%s\t%s\n", record.Name().c_str(),
                    record.IsLocked() ? "locked" : "unlocked", record.ValueName().c_str());
    return EXIT_OK;
}

int Create(CliContext& context, const std::string& name, bool strong)
{
    VaultClaim claim;
    if (!claim.ClaimNames())
        return Fail(EXIT_FAILED, "Another window or process is naming a vault; try again.");
    if (int code = CheckNewName(context, name))
        return code;
    TypedSecret secret;
    if (!ReadSecretLine("Password: ", &secret))
        return Fail(EXIT_USAGE, "The password must be given on standard input.");
    if (int code = CheckNewPassword(secret, strong))
        return code;
    VaultRecord record;
    if (!record.Create(context.store, context.root, name, secret.For(strong).c_str(), strong))
        return Fail(EXIT_FAILED, "The folder %s\\%s could not be created.", context.root.c_str(),
                    name.c_str());
    if (int code = Save(context, record))
        return code;
    std::printf("Created vault \"%s\" in %s.\n", name.c_str(),
                record.folder.FolderPath(context.root).c_str());
    return EXIT_OK;
}

// acceptEarlier: an unlock takes whatever container of the vault's own it finds, also one that
// an earlier lock wrote.
int LockOrUnlock(CliContext& context, const std::string& name, bool lock, bool acceptEarlier)
{
    OpenedVault vault;
    if (int code = OpenVault(context, name, &vault))
        return code;
    VaultRecord& record = vault.record;
    const char* password = vault.password;
    if (acceptEarlier && record.IsStrong() && record.IsLocked() &&
        !context.store.Seals().ForgetStream(record.ValueName()))
        return Fail(EXIT_FAILED, "The registry could not be changed (error %ld).", LastStatus);
    bool done = lock ? record.Lock(context.root, password)
                     : record.Unlock(context.root, password);
    if (!done)
        return Fail(EXIT_FAILED, "Vault \"%s\" could not be %s.", name.c_str(),
                    lock ? "locked" : "unlocked");
    if (int code = Save(context, record))
        return code;
    std::printf("Vault \"%s\" is %s.\n", name.c_str(), lock ? "locked" : "unlocked");
    return EXIT_OK;
}

int Rename(CliContext& context, const std::string& name, const std::string& newName)
{
    OpenedVault vault;
    if (int code = OpenVault(context, name, &vault))
        return code;
    VaultRecord& record = vault.record;
    if (!vault.claim.ClaimNames())
        return Fail(EXIT_FAILED, "Another window or process is naming a vault; try again.");
    if (newName != record.Name())
        if (int code = CheckNewName(context, newName, record.id))
            return code;
    if (!record.Rename(context.store, context.root, newName))
        return Fail(EXIT_FAILED, "The folder of vault \"%s\" could not be renamed to %s\\%s.",
                    name.c_str(), context.root.c_str(), newName.c_str());
    if (int code = Save(context, record))
        return code;
    std::printf("Vault \"%s\" is now \"%s\".\n", name.c_str(), newName.c_str());
    return EXIT_OK;
}

int ChangePassword(CliContext& context, const std::string& name)
{
    OpenedVault vault;
    if (int code = OpenVault(context, name, &vault))
        return code;
    VaultRecord& record = vault.record;
    const char* password = vault.password;
    TypedSecret newSecret;
    if (!ReadSecretLine("New password: ", &newSecret))
        return Fail(EXIT_USAGE, "The new password must follow on standard input.");
    if (int code = CheckNewPassword(newSecret, record.IsStrong()))
        return code;
    if (!record.ChangePassword(context.root, password,
                               newSecret.For(record.IsStrong()).c_str()))
        return Fail(EXIT_FAILED, "The password of vault \"%s\" could not be changed.",
                    name.c_str());
    if (int code = Save(context, record))
        return code;
    std::printf("The password of vault \"%s\" has been changed.\n", name.c_str());
    return EXIT_OK;
}

// The password the vault has protects it from now on, so the rule of strong vaults applies to it.
int Protect(CliContext& context, const std::string& name)
{
    OpenedVault vault;
    if (int code = OpenVault(context, name, &vault))
        return code;
    VaultRecord& record = vault.record;
    const char* password = vault.password;
    if (record.IsStrong()) {
        std::printf("Vault \"%s\" is encrypted with its password already; nothing has been "
                    "changed.\n", name.c_str());
        return EXIT_OK;
    }
    if (int code = CheckNewPassword(vault.secret, true))
        return code;
    if (!record.Protect(context.root, password, vault.secret.For(true).c_str()))
        return Fail(EXIT_FAILED, "Vault \"%s\" could not be encrypted with its password.",
                    name.c_str());
    std::printf("Vault \"%s\" is encrypted with its password.\n", name.c_str());
    return EXIT_OK;
}

int Remove(CliContext& context, const std::string& name)
{
    OpenedVault vault;
    if (int code = OpenVault(context, name, &vault))
        return code;
    VaultRecord& record = vault.record;
    context.store.Remove(record, context.root);
    std::printf("Vault \"%s\" has been removed.\n", name.c_str());
    return EXIT_OK;
}

// Exit 0 when the container is sound, 1 when it is damaged or could not be checked.
int Check(CliContext& context, const std::string& name)
{
    OpenedVault vault;
    if (int code = OpenVault(context, name, &vault))
        return code;
    VaultRecord& record = vault.record;
    const char* password = vault.password;
    std::string result;
    CheckOutcome outcome = CheckLockedVault(record, context.root, password, &result);
    if (outcome == CheckOutcome::SOUND)
        return PutText(result + "\n", NamesOf(record), STD_OUTPUT_HANDLE), EXIT_OK;
    if (outcome == CheckOutcome::DAMAGED)
        return PutText("orvella-cli: " + result + "\n", NamesOf(record), STD_ERROR_HANDLE),
               EXIT_FAILED;
    return EXIT_FAILED;
}

}  // namespace

bool CliContext::Open()
{
    std::string brand = LoadStringResource(IDS_BRAND_NAME);
    std::string title = LoadStringResource(IDS_APP_TITLE);
    if (!settings.Open(ApplicationKeyPath(brand, title).c_str(), HKEY_CURRENT_USER))
        return false;
    root = ReadVaultsRoot(settings, DefaultVaultsRoot(brand, title));
    CreateDirectoryTree(root);
    return store.Open(settings);
}

int RunCommand(CliContext& context, const std::vector<std::string>& arguments)
{
    size_t count = arguments.size();
    const std::string command = count ? arguments[0] : "";
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return EXIT_OK;
    }
    if (command == "list" && count == 1)
        return List(context);
    if (command == "root" && count == 1)
        return std::printf("%s\n", context.root.c_str()), EXIT_OK;
    if (command == "create" && count == 2)
        return Create(context, arguments[1], false);
    if (command == "create" && count == 3 && arguments[1] == "--strong")
        return Create(context, arguments[2], true);
    if ((command == "lock" || command == "unlock") && count == 2)
        return LockOrUnlock(context, arguments[1], command == "lock", false);
    if (command == "unlock" && count == 3 && arguments[1] == "--accept-earlier")
        return LockOrUnlock(context, arguments[2], false, true);
    if (command == "rename" && count == 3)
        return Rename(context, arguments[1], arguments[2]);
    if (command == "passwd" && count == 2)
        return ChangePassword(context, arguments[1]);
    if (command == "remove" && count == 2)
        return Remove(context, arguments[1]);
    if (command == "check" && count == 2)
        return Check(context, arguments[1]);
    if (command == "protect" && count == 2)
        return Protect(context, arguments[1]);
    std::fputs(kUsage, stderr);
    return EXIT_USAGE;
}
