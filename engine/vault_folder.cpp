#include "vault_folder.h"

#include <windows.h>

#include "directory_tree.h"
#include "vault_path.h"
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
    return ContainerPath(root) + ".partial";
}

bool VaultFolder::MoveFolder(const std::string& root, const std::string& newName) const
{
    return MoveFileA(FolderPath(root).c_str(), JoinPath(root, newName).c_str()) != FALSE;
}

bool VaultFolder::EnsureFolder(const std::string& root) const
{
    return CreateDirectoryTree(FolderPath(root));
}
