#include "vault_folder.h"

#include <windows.h>

#include "../files/directory_tree.h"
#include "../files/file_list.h"
#include "../files/vault_path.h"
#include "../names/container_files.h"
#include "../names/vault_name_check.h"
#include "vault_record.h"

std::string VaultFolder::FolderPath(const std::string& root) const
{
    return JoinPath(root, record_->Name());
}

std::string VaultFolder::ContainerPath(const std::string& root) const
{
    return JoinPath(root, record_->ValueName());
}

std::string VaultFolder::PartialContainerPath(const std::string& root) const
{
    return ContainerFilePath(ContainerPath(root), ContainerFile::Partial);
}

bool VaultFolder::MoveFolder(const std::string& root, const std::string& newName) const
{
    return MoveFileA(FolderPath(root).c_str(), JoinPath(root, newName).c_str()) != FALSE;
}

bool VaultFolder::EnsureFolder(const std::string& root) const
{
    return CreateDirectoryTree(FolderPath(root));
}

void VaultFolder::DiscardWorkingFiles(const std::string& root, const VaultNameCheck& store) const
{
    std::string container = ContainerPath(root);
    FileList list;
    ContainerFile kind;
    for (const std::string& path : ContainerFilesOf(container)) {
        std::string name = path.substr(path.find_last_of('\\') + 1);
        if (KindOfContainerFile(container, path, &kind) && kind != ContainerFile::Container &&
            GoesWithItsVault(kind) && !store.IsVaultName(name)) {
            list.Enumerate(path, "");
            list.Enumerate(path, "*.*");
        }
    }
    if (list.Count())
        list.DeleteAll();
}
