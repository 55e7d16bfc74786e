#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <iterator>

#include "dialog_user.h"
#include "engine/files/file_error_text.h"
#include "engine/vault/vault_claim.h"
#include "framework/win_app.h"
#include "resources/resource.h"
#include "ui/vault_properties_dialog.h"
#include "ui_driver.h"
#include "vault_dialog_host.h"

namespace {

class VaultPropertiesDialog : public VaultDialogTest {};

const char kPasswordHint[] = "Type vault's password here";
const char kConfirmHint[] = "Please confirm password here";
const char kPasswordsDiffer[] =
    "Password you specified didn't match! Please correct comfirm the password.";

void TypePasswords(HWND window, const std::string& password)
{
    TypeInto(window, IDC_VAULT_PASSWORD, password);
    TypeInto(window, IDC_VAULT_CONFIRM, password);
}

}  // namespace

TEST_F(VaultPropertiesDialog, ShowsEachModeWithItsTextsAndMasks)
{
    VaultRecord papers = AddVault("Papers", "pw");
    const struct {
        int mode;
        const char* caption;
        const char* name;
        EditState password, confirm;  // as shown
        EditState focusedPassword;    // once the focus is in the password field
        const char* label;
        bool removeShown;
    } modes[] = {
        {VAULT_DIALOG_NEW, "New Vault", "Type vault's name here", {kPasswordHint, 0},
         {kConfirmHint, 0}, {"", '*'}, "&Password:", false},
        {VAULT_DIALOG_MANAGE, "Manage Vault", "Papers", {"*********", '*'}, {"*********", '*'},
         {"*********", '*'}, "New &password:", true},
    };
    for (const auto& mode : modes) {
        SCOPED_TRACE(mode.caption);
        VaultRecord record = mode.mode == VAULT_DIALOG_NEW ? VaultRecord() : papers;
        CVaultPropertiesDlg dialog;
        dialog.Setup(&record, &Store(), mode.mode);
        EditState name, password, confirm, focused, left;
        DWORD selectionEnd = 0;
        std::string label;
        bool removeShown = false;
        INT_PTR result = RunModalWithUser(dialog, mode.caption, [&](HWND window) {
            name = ReadEdit(window, IDC_VAULT_NAME);
            password = ReadEdit(window, IDC_VAULT_PASSWORD);
            confirm = ReadEdit(window, IDC_VAULT_CONFIRM);
            SendDlgItemMessageA(window, IDC_VAULT_NAME, EM_GETSEL, 0,
                                reinterpret_cast<LPARAM>(&selectionEnd));
            label = ItemText(window, IDC_PASSWORD_LABEL);
            removeShown = IsWindowVisible(GetDlgItem(window, IDC_VAULT_REMOVE));
            FocusControl(window, IDC_VAULT_PASSWORD);
            focused = ReadEdit(window, IDC_VAULT_PASSWORD);
            FocusControl(window, IDC_VAULT_NAME);
            left = ReadEdit(window, IDC_VAULT_PASSWORD);
            Click(window, IDCANCEL);
        });
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_EQ(name.text, mode.name);
        EXPECT_EQ(selectionEnd, std::strlen(mode.name)) << "typing replaces the whole name";
        EXPECT_EQ(password.text, mode.password.text);
        EXPECT_EQ(password.mask, mode.password.mask);
        EXPECT_EQ(confirm.text, mode.confirm.text);
        EXPECT_EQ(confirm.mask, mode.confirm.mask);
        EXPECT_FALSE(name.modified || password.modified || confirm.modified);
        EXPECT_EQ(focused.text, mode.focusedPassword.text);
        EXPECT_EQ(focused.mask, mode.focusedPassword.mask);
        EXPECT_FALSE(focused.modified);
        EXPECT_EQ(left.text, password.text) << "an untouched field shows what it showed before";
        EXPECT_EQ(left.mask, password.mask);
        EXPECT_EQ(label, mode.label);
        EXPECT_EQ(removeShown, mode.removeShown);
    }
}

TEST_F(VaultPropertiesDialog, APasswordFieldTypedIntoKeepsItsTextWhenTheFocusLeaves)
{
    VaultRecord record;
    CVaultPropertiesDlg dialog;
    dialog.Setup(&record, &Store(), VAULT_DIALOG_NEW);
    EditState typed, erased, confirmLeft;
    RunModalWithUser(dialog, "New Vault", [&](HWND window) {
        TypeInto(window, IDC_VAULT_PASSWORD, "abc");
        FocusControl(window, IDC_VAULT_CONFIRM);
        FocusControl(window, IDC_VAULT_PASSWORD);
        typed = ReadEdit(window, IDC_VAULT_PASSWORD);
        TypeInto(window, IDC_VAULT_PASSWORD, "");
        FocusControl(window, IDC_VAULT_NAME);
        erased = ReadEdit(window, IDC_VAULT_PASSWORD);
        confirmLeft = ReadEdit(window, IDC_VAULT_CONFIRM);
        Click(window, IDCANCEL);
    });
    EXPECT_EQ(typed.text, "abc");
    EXPECT_EQ(typed.mask, '*');
    EXPECT_EQ(erased.text, "") << "an emptied field is not a hint";
    EXPECT_EQ(erased.mask, '*');
    EXPECT_EQ(confirmLeft.text, kConfirmHint) << "the focus passed through without typing";
    EXPECT_EQ(confirmLeft.mask, 0);
}

TEST_F(VaultPropertiesDialog, NewCreatesTheVaultFromWhatWasTyped)
{
    const struct {
        const char* name;  // null: never typed into
        std::vector<std::string> password, confirm;  // typed one after the other
        const char* createdName;
        const char* createdPassword;
        bool strong;  // "Encrypt the contents with this password" checked
    } cases[] = {
        {"Papers", {"secret"}, {"secret"}, "Papers", "secret", false},
        {nullptr, {"x", ""}, {"y", ""}, "Type vault's name here", "", false},
        {"Strong", {"secret words"}, {"secret words"}, "Strong", "secret words", true},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.createdName);
        VaultRecord record;
        CVaultPropertiesDlg dialog;
        dialog.Setup(&record, &Store(), VAULT_DIALOG_NEW);
        INT_PTR result = RunModalWithUser(dialog, "New Vault", [&](HWND window) {
            if (test.name)
                TypeInto(window, IDC_VAULT_NAME, test.name);
            for (const std::string& text : test.password)
                TypeInto(window, IDC_VAULT_PASSWORD, text);
            for (const std::string& text : test.confirm)
                TypeInto(window, IDC_VAULT_CONFIRM, text);
            if (test.strong)
                Click(window, IDC_VAULT_STRONG);
            Click(window, IDOK);
        });
        ASSERT_EQ(result, IDOK);
        EXPECT_EQ(record.Name(), test.createdName);
        EXPECT_EQ(record.IsStrong(), test.strong);
        EXPECT_TRUE(record.CheckPassword(test.createdPassword));
        EXPECT_FALSE(record.IsLocked());
        EXPECT_TRUE(Exists(root / test.createdName));
        VaultRecord stored;
        EXPECT_FALSE(Store().Load(record.id, stored)) << "saving is the caller's";
    }
}

// A vault encrypted with its password takes the password's UTF-8 bytes, whatever the ANSI code
// page lacks, and only a password the rule accepts: a refused one is explained before anything
// is made, and the dialog stays open.
TEST_F(VaultPropertiesDialog, NewStrongVaultTakesAnyCharactersButNoWeakPassword)
{
    struct Case {
        std::wstring password;
        const char* refusal;  // a part of the message, or null: the vault is made
    } const cases[] = {
        {L"secret", "at least 8 characters"},
        {L"Password1", "most common"},
        {L"Grüße-Ωμέγα-2026", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.refusal ? c.refusal : "accepted");
        VaultRecord record;
        CVaultPropertiesDlg dialog;
        dialog.Setup(&record, &Store(), VAULT_DIALOG_NEW);
        AnsweredMessageBox box;
        bool stays = false;
        INT_PTR result = RunModalWithUser(dialog, "New Vault", [&](HWND window) {
            TypeInto(window, IDC_VAULT_NAME, "Diary");
            TypeWideInto(window, IDC_VAULT_PASSWORD, c.password);
            TypeWideInto(window, IDC_VAULT_CONFIRM, c.password);
            Click(window, IDC_VAULT_STRONG);
            Click(window, IDOK);
            if (!c.refusal)
                return;
            box = AnswerMessageBox(IDOK);
            stays = StaysOpen(window);
            Click(window, IDCANCEL);
        });
        if (c.refusal) {
            EXPECT_EQ(result, IDCANCEL);
            EXPECT_NE(box.text.find(c.refusal), std::string::npos) << box.text;
            EXPECT_TRUE(stays);
            EXPECT_TRUE(RootNames().empty()) << "nothing made";
            continue;
        }
        ASSERT_EQ(result, IDOK);
        EXPECT_TRUE(record.IsStrong());
        EXPECT_TRUE(record.CheckPassword(u8"Grüße-Ωμέγα-2026"));
        EXPECT_FALSE(record.CheckPassword("Gr?\xdf""e-????-2026")) << "no character lost";
    }
}

TEST_F(VaultPropertiesDialog, NewWithUntouchedPasswordsSaysTheyDiffer)
{
    VaultRecord record;
    CVaultPropertiesDlg dialog;
    dialog.Setup(&record, &Store(), VAULT_DIALOG_NEW);
    AnsweredMessageBox box;
    bool stays = false;
    INT_PTR result = RunModalWithUser(dialog, "New Vault", [&](HWND window) {
        Click(window, IDOK);
        box = AnswerMessageBox(IDOK);
        stays = StaysOpen(window);
        Click(window, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(box.text, kPasswordsDiffer);
    EXPECT_EQ(box.caption, AfxGetAppName());
    EXPECT_EQ(box.icon, UINT(MB_ICONSTOP));
    EXPECT_TRUE(stays);
    EXPECT_TRUE(RootNames().empty());
    EXPECT_EQ(record.id, 0u);
}

TEST_F(VaultPropertiesDialog, NewRefusesNamesThatCannotBeGivenAndStaysOpen)
{
    VaultRecord papers = AddVault("Papers", "pw");
    WriteFileBytes(root / "notes.txt", "x");
    std::string container = papers.ValueName();
    for (char& c : container)
        c = char(toupper(static_cast<unsigned char>(c)));
    const std::string takenByFile = "\" is already taken in the vaults folder, by a file or by "
                                    "another vault's container file. Please choose another name.";
    const std::string containerFileName =
        "\" cannot be a vault name: names that begin with eight hexadecimal digits and \".vlt\", "
        "such as 0123abcd.vlt or 0123abcd.vlt.new, belong to the hidden container files of locked "
        "vaults and the files the program keeps beside them.";
    const struct {
        std::string name;
        std::string message;
    } cases[] = {
        {"", "Please type a name for the vault."},
        {std::string(260, 'n'),
         "The vault name is too long: a vault name can have at most 259 characters."},
        {"a/b", "A vault name cannot contain any of the characters \\ / : * ? \" < > | or control "
                "characters such as a tab."},
        {"tab\tname", "A vault name cannot contain any of the characters \\ / : * ? \" < > | or "
                      "control characters such as a tab."},
        {"nul.txt", "\"nul.txt\" cannot be a vault name: Windows reserves names such as CON, PRN, "
                    "AUX, NUL, COM1 and LPT1 for devices, with or without an extension."},
        {"Letters ", "The vault name \"Letters \" ends with a dot or a space, which Windows drops "
                     "from folder names. Please choose a name that ends with another character."},
        {"PAPERS", "Vault with name \"PAPERS\" already exists!"},
        {"Notes.TXT", "The name \"Notes.TXT" + takenByFile},
        {container, "\"" + container + containerFileName},
        {container + ".partial", "\"" + container + ".partial" + containerFileName},
        {"COM\xb9", "\"COM\xb9\" cannot be a vault name: Windows reserves names such as CON, PRN, "
                    "AUX, NUL, COM1 and LPT1 for devices, with or without an extension."},
    };
    VaultRecord record;
    CVaultPropertiesDlg dialog;
    dialog.Setup(&record, &Store(), VAULT_DIALOG_NEW);
    std::vector<AnsweredMessageBox> boxes;
    std::vector<bool> stays;
    bool namesFree = false;
    INT_PTR result = RunModalWithUser(dialog, "New Vault", [&](HWND window) {
        TypePasswords(window, "pw");
        for (const auto& test : cases) {
            SetDlgItemTextA(window, IDC_VAULT_NAME, test.name.c_str());
            Click(window, IDOK);
            boxes.push_back(AnswerMessageBox(IDOK));
            stays.push_back(StaysOpen(window));
        }
        VaultClaim elsewhere;
        namesFree = elsewhere.ClaimNames();
        Click(window, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_EQ(boxes.size(), std::size(cases));
    for (size_t i = 0; i < boxes.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(boxes[i].text, cases[i].message);
        EXPECT_EQ(boxes[i].caption, AfxGetAppName());
        EXPECT_EQ(boxes[i].icon, UINT(MB_ICONSTOP));
        EXPECT_TRUE(stays[i]);
    }
    EXPECT_TRUE(namesFree) << "a dialog left open keeps no one else from naming vaults";
    EXPECT_EQ(RootNames(), (std::vector<std::string>{"Papers", "notes.txt"}));
    EXPECT_EQ(record.id, 0u);
}

TEST_F(VaultPropertiesDialog, NewTellsWhyTheFolderCouldNotBeMadeAndStaysOpen)
{
    WriteFileBytes(root / "blocker", "");
    // Roots named with a trailing backslash, as a drive's root is: no doubled one follows.
    const struct {
        std::string root;
        std::string reason;
    } cases[] = {
        {root / "blocker\\", FileErrorText(ERROR_ALREADY_EXISTS, root / "blocker")},
        // A drive that does not exist; Wine reports it as a file not found.
        {"Q:\\Vaults\\", FileErrorText(ERROR_FILE_NOT_FOUND, "Q:\\Vaults\\Papers")},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.root);
        app.SetVaultsRoot(test.root);
        VaultRecord record;
        CVaultPropertiesDlg dialog;
        dialog.Setup(&record, &Store(), VAULT_DIALOG_NEW);
        AnsweredMessageBox box;
        bool stays = false;
        INT_PTR result = RunModalWithUser(dialog, "New Vault", [&](HWND window) {
            TypeInto(window, IDC_VAULT_NAME, "Papers");
            TypePasswords(window, "pw");
            Click(window, IDOK);
            box = AnswerMessageBox(IDOK);
            stays = StaysOpen(window);
            Click(window, IDCANCEL);
        });
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_EQ(box.text, "The vault's folder could not be created.\r\n\r\n" + test.reason);
        EXPECT_EQ(box.caption, AfxGetAppName());
        EXPECT_EQ(box.icon, UINT(MB_ICONSTOP));
        EXPECT_TRUE(stays);
        EXPECT_EQ(record.id, 0u);
    }
    EXPECT_EQ(RootNames(), std::vector<std::string>{"blocker"});
}
