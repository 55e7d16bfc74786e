#include "root_copies.h"

#include <set>
#include <vector>

#include "../engine/files/file_error_text.h"
#include "../engine/files/vault_path.h"
#include "../engine/files/win_file.h"

namespace {

bool SameKind(DWORD one, DWORD other)
{
    return ((one ^ other) & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Adds every folder above path, up to root, to folders.
void AddFoldersAbove(const std::string& path, const std::string& root,
                     std::set<std::string>* folders)
{
    for (std::string::size_type slash = path.rfind('\\');
         slash != std::string::npos && slash > root.size(); slash = path.rfind('\\', slash - 1))
        if (!folders->insert(path.substr(0, slash)).second)
            break;  // and every folder above it, already
}

}  // namespace

std::string WhatStayedText(const RootCopyRemoval& removal)
{
    if (!removal.failedPath.empty())
        return FileErrorText(removal.failedError, removal.failedPath);
    return removal.kept + " has been kept: the other folder holds no copy of it.";
}

std::string RelativeToRoot(const std::string& root, const std::string& path)
{
    std::string::size_type start = root.size();
    while (start < path.size() && (path[start] == '\\' || path[start] == '/'))
        ++start;
    return path.substr(start);
}

RootCopyRemoval RemoveRootCopy(const FileList& oldEntries, const std::string& oldRoot,
                               const std::string& newRoot, RootSide side)
{
    const std::string& goingRoot = side == RootSide::Old ? oldRoot : newRoot;
    const std::string& otherRoot = side == RootSide::Old ? newRoot : oldRoot;
    std::vector<FileEntry> going;
    std::string firstKept;
    std::set<std::string> foldersKept;
    for (const FileEntry& entry : oldEntries) {
        std::string relative = RelativeToRoot(oldRoot, entry.path);
        std::string path = JoinPath(goingRoot, relative);
        DWORD attributes = AttributesOf(path);
        if (attributes == INVALID_FILE_ATTRIBUTES)
            continue;
        DWORD other = AttributesOf(JoinPath(otherRoot, relative));
        if (other == INVALID_FILE_ATTRIBUTES || !SameKind(attributes, other)) {
            if (firstKept.empty())
                firstKept = path;
            AddFoldersAbove(path, goingRoot, &foldersKept);
        } else {
            going.push_back(FileEntry{attributes, 0, path});
        }
    }
    FileList doomed;
    for (const FileEntry& entry : going)
        if (!foldersKept.count(entry.path))
            doomed.Append(entry);
    RootCopyRemoval removal;
    removal.kept = firstKept;
    if (doomed.Count() == 0)
        return removal;
    removal.ranToEnd = doomed.DeleteAll();
    removal.failedPath = doomed.failedPath;
    removal.failedError = doomed.failedError;
    return removal;
}
