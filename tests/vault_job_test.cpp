#include <gtest/gtest.h>

#include <cstring>

#include "engine/crypto/blowfish_cipher.h"
#include "engine/jobs/progress_dialog.h"
#include "engine/jobs/vault_job.h"
#include "engine/vault/vault_store.h"
#include "scratch.h"
#include "ui_driver.h"

// A file whose length changes between the enumeration and its reading must not give a container
// whose contents disagree with its headers: the job fails instead.
TEST(EncryptVaultProc, FailsWhenAFileChangedLengthAfterTheEnumeration)
{
    struct Case {
        const char* what;
        std::string now;
    } const cases[] = {{"shorter", "abc"}, {"longer", std::string(40000, 'x')}};
    for (const Case& c : cases) {
        ScratchFolder root;
        VaultRecord record;
        std::strcpy(record.name, "V");
        std::strcpy(record.valueName, "00000001.vlt");
        CreateDirectoryA((root / "V").c_str(), nullptr);
        WriteFileBytes(root / "V\\changing.txt", "abcdefghij");
        FileList files;
        files.Enumerate(root / "V", "*");
        WriteFileBytes(root / "V\\changing.txt", c.now);

        BlowfishCipher cipher;
        cipher.SetKey("", 0);
        VaultJob job;
        job.total = 1 << 20;
        job.files = &files;
        job.cipher = &cipher;
        job.vaultName = record.Name();
        job.folderPath = record.folder.FolderPath(root.Path());
        job.containerPath = record.folder.ContainerPath(root.Path());
        job.partialPath = root / "00000001.vlt.partial";
        CProgressDlg dialog(job.progress);
        MessageBoxAnswerer user(IDOK);
        EXPECT_FALSE(dialog.Run(EncryptVaultProc, &job)) << c.what;
        ASSERT_TRUE(user.Wait()) << c.what;
        EXPECT_EQ(user.text, root / "V\\changing.txt" +
                                 " changed while the vault was being locked. Close the program "
                                 "that is writing it and lock the vault again.")
            << c.what;
        EXPECT_FALSE(job.placed) << c.what;
        EXPECT_FALSE(Exists(root / "00000001.vlt")) << c.what;
        ProgressLock hold(job.progress);
        EXPECT_EQ(job.progress.error, uint32_t(VAULT_JOB_FAILED)) << c.what;
    }
}
