#include <gtest/gtest.h>

#include <cstring>

#include "dialog_user.h"
#include "engine/files/directory_tree.h"
#include "engine/files/file_error_text.h"
#include "framework/win_app.h"
#include "resources/resource.h"
#include "ui/vault_properties_dialog.h"
#include "ui_driver.h"
#include "vault_dialog_host.h"

namespace {

// Manage on the vault "Papers" (password "pw") beside the vault "Letters".
class ManageVaultDialog : public VaultDialogTest {
protected:
    ManageVaultDialog() : papers(AddVault("Papers", "pw")), before(papers)
    {
        AddVault("Letters", "other");
        dialog.Setup(&papers, &Store(), VAULT_DIALOG_MANAGE);
    }

    INT_PTR Run(const std::function<void(HWND)>& user)
    {
        return RunModalWithUser(dialog, "Manage Vault", user);
    }
    bool RecordUnchanged() const
    {
        return std::memcmp(&papers, &before, VAULT_RECORD_SIZE) == 0;
    }

    VaultRecord papers;
    VaultRecord before;
    CVaultPropertiesDlg dialog;
};

// The password dialog the Manage dialog opens, once it shows.
HWND WaitForPasswordDialog() { return WaitForTitledDialog("Enter Password"); }

// Answers the password dialog with `password` and waits until it is gone.
void ProvePassword(const char* password)
{
    HWND asked = WaitForPasswordDialog();
    TypeInto(asked, IDC_VAULT_PASSWORD, password);
    Click(asked, IDOK);
    WaitUntilGone(asked);
}

}  // namespace

TEST_F(ManageVaultDialog, OkWithoutChangesEndsAtOnceAndAsksNothing)
{
    // A password dialog would be left unanswered here, and the run would end cancelled.
    EXPECT_EQ(Run([](HWND window) { Click(window, IDOK); }), IDOK);
    EXPECT_TRUE(RecordUnchanged());
}

TEST_F(ManageVaultDialog, ANewPasswordNeedsTheCurrentOne)
{
    bool ownedByManage = false, askedAgain = false, staysAfterCancel = false;
    bool unchangedMeanwhile = false;
    INT_PTR result = Run([&](HWND window) {
        TypeInto(window, IDC_VAULT_PASSWORD, "new");
        TypeInto(window, IDC_VAULT_CONFIRM, "new");
        Click(window, IDOK);
        HWND asked = WaitForPasswordDialog();
        ownedByManage = GetWindow(asked, GW_OWNER) == window;
        TypeInto(asked, IDC_VAULT_PASSWORD, "wrong");
        Click(asked, IDOK);
        askedAgain = StaysOpen(asked);
        Click(asked, IDCANCEL);
        WaitUntilGone(asked);
        staysAfterCancel = StaysOpen(window);
        unchangedMeanwhile = RecordUnchanged();
        Click(window, IDOK);
        ProvePassword("pw");
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(ownedByManage) << "Manage takes no input while the password is asked";
    EXPECT_TRUE(askedAgain) << "a wrong password keeps the password dialog open";
    EXPECT_TRUE(staysAfterCancel);
    EXPECT_TRUE(unchangedMeanwhile);
    EXPECT_TRUE(papers.CheckPassword("new"));
    EXPECT_EQ(papers.Name(), "Papers");
}

TEST_F(ManageVaultDialog, RefusesMismatchedPasswordsAndTakenNamesBeforeAskingThePassword)
{
    const struct {
        const char* name;      // typed into the name field; null: untouched
        const char* password;  // typed into the password field only; null: untouched
        const char* message;
    } cases[] = {
        {nullptr, "new",
         "Password you specified didn't match! Please correct comfirm the password."},
        {"letters", nullptr, "Vault with name \"letters\" already exists!"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.message);
        CVaultPropertiesDlg dialog;
        dialog.Setup(&papers, &Store(), VAULT_DIALOG_MANAGE);
        AnsweredMessageBox box;
        bool stays = false;
        INT_PTR result = RunModalWithUser(dialog, "Manage Vault", [&](HWND window) {
            if (test.name)
                TypeInto(window, IDC_VAULT_NAME, test.name);
            if (test.password)
                TypeInto(window, IDC_VAULT_PASSWORD, test.password);
            Click(window, IDOK);
            box = AnswerMessageBox(IDOK);
            stays = StaysOpen(window);
            Click(window, IDCANCEL);
        });
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_EQ(box.text, test.message);
        EXPECT_EQ(box.caption, AfxGetAppName());
        EXPECT_EQ(box.icon, UINT(MB_ICONSTOP));
        EXPECT_TRUE(stays);
        EXPECT_TRUE(RecordUnchanged());
    }
}

TEST_F(ManageVaultDialog, RenamesTheVaultAndItsFolderEvenToItsOwnNameInAnotherCase)
{
    for (const char* name : {"PAPERS", "Contracts"}) {
        SCOPED_TRACE(name);
        CVaultPropertiesDlg dialog;
        VaultRecord record = before;
        dialog.Setup(&record, &Store(), VAULT_DIALOG_MANAGE);
        INT_PTR result = RunModalWithUser(dialog, "Manage Vault", [&](HWND window) {
            TypeInto(window, IDC_VAULT_NAME, name);
            Click(window, IDOK);
            ProvePassword("pw");
        });
        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(record.Name(), name);
        EXPECT_TRUE(record.CheckPassword("pw")) << "the password was not typed into";
        // Wine keeps a folder's letter case on such a move; the name finds the folder either way.
        EXPECT_TRUE(IsDirectory(root / name));
        EXPECT_EQ(RootNames().size(), 2u) << "the folder was moved, not made";
        // Back to the start for the next case.
        MoveFileA((root / name).c_str(), (root / "Papers").c_str());
    }
}

TEST_F(ManageVaultDialog, TellsWhyTheFolderCouldNotBeRenamedAndKeepsTheRecord)
{
    // A plain folder may become a vault, but a vault's folder cannot be moved onto it.
    CreateDirectoryA((root / "Contracts").c_str(), nullptr);
    AnsweredMessageBox box;
    bool stays = false;
    INT_PTR result = Run([&](HWND window) {
        TypeInto(window, IDC_VAULT_NAME, "Contracts");
        TypeInto(window, IDC_VAULT_PASSWORD, "new");
        TypeInto(window, IDC_VAULT_CONFIRM, "new");
        Click(window, IDOK);
        ProvePassword("pw");
        box = AnswerMessageBox(IDOK);
        stays = StaysOpen(window);
        Click(window, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(box.text, "The vault \"Papers\" could not be renamed to \"Contracts\".\r\n\r\n" +
                            FileErrorText(ERROR_ALREADY_EXISTS, root / "Contracts"));
    EXPECT_EQ(box.caption, AfxGetAppName());
    EXPECT_EQ(box.icon, UINT(MB_ICONSTOP));
    EXPECT_TRUE(stays);
    EXPECT_TRUE(RecordUnchanged()) << "neither the name nor the new password was taken";
    EXPECT_EQ(RootNames(), (std::vector<std::string>{"Contracts", "Letters", "Papers"}));
}

TEST_F(ManageVaultDialog, RemoveNeedsTheUsersYesAndThePassword)
{
    AnsweredMessageBox no, yes;
    bool staysAfterNo = false, askedAfterNo = true, staysAfterCancel = false;
    INT_PTR result = Run([&](HWND window) {
        Click(window, IDC_VAULT_REMOVE);
        no = AnswerMessageBox(IDNO);
        staysAfterNo = StaysOpen(window);
        askedAfterNo = WaitForDialog([](HWND w) { return WindowText(w) == "Enter Password"; }, 0);
        Click(window, IDC_VAULT_REMOVE);
        yes = AnswerMessageBox(IDYES);
        HWND asked = WaitForPasswordDialog();
        Click(asked, IDCANCEL);
        WaitUntilGone(asked);
        staysAfterCancel = StaysOpen(window);
        Click(window, IDC_VAULT_REMOVE);
        AnswerMessageBox(IDYES);
        ProvePassword("pw");
    });
    EXPECT_EQ(result, IDC_VAULT_REMOVE);
    for (const AnsweredMessageBox& box : {no, yes}) {
        EXPECT_EQ(box.text, "Are you sure to remove vault 'Papers'?\r\nAll contents will be lost!");
        EXPECT_EQ(box.caption, "Manage Vault");
        EXPECT_EQ(box.icon, UINT(MB_ICONQUESTION));
    }
    EXPECT_TRUE(staysAfterNo);
    EXPECT_FALSE(askedAfterNo) << "No asks for no password";
    EXPECT_TRUE(staysAfterCancel);
    EXPECT_TRUE(RecordUnchanged());
    EXPECT_TRUE(Exists(root / "Papers")) << "removing is the caller's";
}

// "Encrypt the contents with this password": free for a classic vault, ticked and greyed for one
// encrypted with its password already (there is no way back).
TEST_F(ManageVaultDialog, TheCheckBoxShowsTheVaultsKind)
{
    VaultRecord strong;
    ASSERT_TRUE(strong.Create(Store(), root.Path(), "Strong", "protect me well", true));
    ASSERT_TRUE(Store().Save(strong));
    struct Case {
        VaultRecord* record;
        bool checked, enabled;
    } const cases[] = {{&papers, false, true}, {&strong, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.record->Name());
        CVaultPropertiesDlg dialog;
        dialog.Setup(c.record, &Store(), VAULT_DIALOG_MANAGE);
        bool visible = false, enabled = false, checked = false;
        RunModalWithUser(dialog, "Manage Vault", [&](HWND window) {
            HWND box = GetDlgItem(window, IDC_VAULT_STRONG);
            visible = IsWindowVisible(box) != FALSE;
            enabled = IsWindowEnabled(box) != FALSE;
            checked = IsDlgButtonChecked(window, IDC_VAULT_STRONG) == BST_CHECKED;
            Click(window, IDCANCEL);
        });
        EXPECT_TRUE(visible);
        EXPECT_EQ(enabled, c.enabled);
        EXPECT_EQ(checked, c.checked);
    }
}

// Ticked with no new password, the current one must pass the rule of such vaults: "pw" is
// refused after it is proved, with nothing changed, and the dialog asks for a new password. With
// one typed, that one protects the vault.
TEST_F(ManageVaultDialog, TickingTheBoxProtectsTheVaultWithAPasswordThatPassesTheRule)
{
    AnsweredMessageBox refused;
    bool stays = false, unchangedMeanwhile = false;
    INT_PTR result = Run([&](HWND window) {
        Click(window, IDC_VAULT_STRONG);
        Click(window, IDOK);
        ProvePassword("pw");
        refused = AnswerMessageBox(IDOK);
        stays = StaysOpen(window);
        unchangedMeanwhile = RecordUnchanged();
        TypeInto(window, IDC_VAULT_PASSWORD, "protect me well");
        TypeInto(window, IDC_VAULT_CONFIRM, "protect me well");
        Click(window, IDOK);
        ProvePassword("pw");
    });
    EXPECT_EQ(refused.text, "The password of a vault encrypted with its password must have at "
                            "least 8 characters.\r\nType a new password for the vault and confirm "
                            "it: its contents are then encrypted with that one.");
    EXPECT_EQ(refused.icon, UINT(MB_ICONSTOP));
    EXPECT_TRUE(stays);
    EXPECT_TRUE(unchangedMeanwhile);
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(papers.IsStrong());
    EXPECT_TRUE(papers.CheckPassword("protect me well"));
    VaultRecord saved;
    ASSERT_TRUE(Store().Load(papers.id, saved));
    EXPECT_EQ(saved.flags, uint32_t(VAULT_UNLOCKED | VAULT_STRONG)) << "saved, flushed";
}
