#include "file_list_jobs.h"

#include "../files/ansi_name.h"
#include "../files/directory_tree.h"
#include "../files/long_path.h"
#include "../files/vault_path.h"
#include "job_front_end.h"

bool FileList::CopyTo(const std::string& destination, bool overwrite)
{
    lastError = 0;
    failedPath.clear();
    failedError = 0;
    CopyJob job;
    job.list = this;
    job.destination = destination;
    job.progress.encoding = encoding;
    job.overwrite = overwrite;
    if (RunJob(job.progress, CopyFilesProc, &job))
        return true;
    lastError = job.error;
    failedPath = job.failedPath;
    failedError = job.error;
    return false;
}

bool FileList::DeleteAll(const std::string& cancelRefusal)
{
    lastError = 0;
    DeleteJob job;
    job.list = this;
    job.progress.cancelRefusal = cancelRefusal;
    job.progress.encoding = encoding;
    bool ranToEnd = RunJob(job.progress, DeleteFilesProc, &job);
    failedPath = job.failedPath;
    failedError = job.failedError;
    changedPaths = job.changedPaths;
    if (!ranToEnd)
        lastError = job.error;
    return ranToEnd;
}

namespace {

void ReportStatus(ProgressState& progress, const std::string& relative)
{
    {
        ProgressLock hold(progress);
        progress.status = "Processing " + relative;
    }
    NotifyProgress(progress);
}

void ReportOneMore(ProgressState& progress)
{
    {
        ProgressLock hold(progress);
        ++progress.done;
    }
    NotifyProgress(progress);
}

// Writes a copied file through to the disk. Its attributes are plain afterwards (a read-only
// copy could not be opened for the flush); the caller gives it the original's.
bool FlushCopy(const std::wstring& target)
{
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE file = CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool flushed = FlushFileBuffers(file) != FALSE;
    DWORD error = GetLastError();
    CloseHandle(file);
    SetLastError(error);
    return flushed;
}

// Makes one entry at target; on failure the system's last error says why.
bool CopyEntry(const FileEntry& entry, const std::string& target, bool overwrite,
               NameEncoding encoding)
{
    std::wstring longTarget = LongPath(target, encoding);
    if (entry.IsDirectory()) {
        SetFileAttributesW(longTarget.c_str(), FILE_ATTRIBUTE_DIRECTORY);
        return CreateDirectoryTree(target, encoding);
    }
    SetFileAttributesW(longTarget.c_str(), FILE_ATTRIBUTE_NORMAL);
    return CopyFileW(LongPath(entry.path, encoding).c_str(), longTarget.c_str(), !overwrite) &&
           FlushCopy(longTarget);
}

bool RemoveEntry(const FileEntry& entry, const std::wstring& path)
{
    return entry.IsDirectory() ? RemoveDirectoryW(path.c_str()) != FALSE
                               : DeleteFileW(path.c_str()) != FALSE;
}

void ClearAttributes(const FileEntry& entry, const std::wstring& path)
{
    SetFileAttributesW(path.c_str(),
                       entry.IsDirectory() ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL);
}

// Removes the entry; read-only, hidden and system entries are cleared of those attributes
// first. The attributes are touched only where they are set, as each call costs time on a
// tree of thousands of files. A link's attributes are left alone: changing them could reach
// what it points to.
bool RemoveWithAttributes(const FileEntry& entry, NameEncoding encoding)
{
    const DWORD blocking = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    std::wstring path = LongPath(entry.path, encoding);
    if ((entry.attributes & blocking) && !entry.IsLink())
        ClearAttributes(entry, path);
    if (RemoveEntry(entry, path))
        return true;
    // Attributes may have changed since the enumeration: clear them and try once more.
    if (entry.IsLink())
        return false;
    ClearAttributes(entry, path);
    return RemoveEntry(entry, path);
}

enum class Removal { Removed, Failed, Changed };

// Marks a file held open with DELETE access for deletion through that handle: it goes when the
// handle closes. Where the system has no such call (before Vista), false with
// ERROR_CALL_NOT_IMPLEMENTED.
bool MarkForDeletion(HANDLE held)
{
    typedef BOOL(WINAPI * SetInformation)(HANDLE, int, void*, DWORD);
    static const SetInformation setInformation = reinterpret_cast<SetInformation>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetFileInformationByHandle"));
    const int kFileDispositionInfo = 4;
    struct {
        BOOLEAN deleteFile;
    } disposition = {TRUE};
    if (!setInformation) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return false;
    }
    return setInformation(held, kFileDispositionInfo, &disposition, sizeof(disposition)) != FALSE;
}

// Removes a file only while it has its stamp. It is held open from the comparison to its removal
// (which takes place when the handle closes) so that nobody can write to it in between; readers
// may go on reading. A file that has gone already is taken as removed.
Removal RemoveIfUnchanged(const FileEntry& entry, NameEncoding encoding)
{
    std::wstring path = LongPath(entry.path, encoding);
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ | DELETE,
                              FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (held == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND ? Removal::Removed : Removal::Failed;
    FileStamp now;
    Removal removal = Removal::Changed;
    if (StampOfHandle(held, &now) && now.Matches(entry.stamp)) {
        // A read-only file cannot be marked: cleared first, as for any deletion.
        if (entry.attributes & FILE_ATTRIBUTE_READONLY)
            ClearAttributes(entry, path);
        bool removed = MarkForDeletion(held);
        if (!removed) {
            ClearAttributes(entry, path);
            removed = MarkForDeletion(held) || RemoveEntry(entry, path);
        }
        removal = removed ? Removal::Removed : Removal::Failed;
    }
    DWORD error = GetLastError();
    CloseHandle(held);
    SetLastError(error);
    return removal;
}

Removal DeleteEntry(const FileEntry& entry, NameEncoding encoding)
{
    if (entry.stamp.known && !entry.IsDirectory())
        return RemoveIfUnchanged(entry, encoding);
    return RemoveWithAttributes(entry, encoding) ? Removal::Removed : Removal::Failed;
}

}  // namespace

DWORD WINAPI CopyFilesProc(void* parameter)
{
    CopyJob& job = *static_cast<CopyJob*>(parameter);
    StartProgress(job.progress, "Copy files to " + job.destination, job.list->Count());
    RelativePathTracker relative;
    for (const FileEntry& entry : *job.list) {
        if (job.progress.IsCancelRequested())
            return 0;
        std::string part = relative.Next(entry.path);
        std::string target = JoinPath(job.destination, part.substr(1));  // part starts with '\\'
        ReportStatus(job.progress, part);
        if (!CopyEntry(entry, target, job.overwrite, job.list->encoding)) {
            job.error = GetLastError();
            if (job.error == 0)
                job.error = ERROR_GEN_FAILURE;
            job.failedPath = target;
            FailProgress(job.progress, job.error);
            return 0;
        }
        SetFileAttributesW(LongPath(target, job.list->encoding).c_str(),
                           entry.attributes & ~FILE_ATTRIBUTE_REPARSE_POINT);
        ReportOneMore(job.progress);
    }
    FinishProgress(job.progress);
    return 0;
}

DWORD WINAPI DeleteFilesProc(void* parameter)
{
    DeleteJob& job = *static_cast<DeleteJob*>(parameter);
    StartProgress(job.progress, "Delete files", job.list->Count());
    RelativePathTracker relative;
    for (auto entry = job.list->rbegin(); entry != job.list->rend(); ++entry) {
        if (job.progress.IsCancelRequested())
            return 0;
        ReportStatus(job.progress, relative.Next(entry->path));
        Removal removal = DeleteEntry(*entry, job.list->encoding);
        if (removal == Removal::Changed) {
            job.changedPaths.push_back(entry->path);
        } else if (removal == Removal::Failed) {
            job.error = GetLastError();
            if (job.failedPath.empty()) {
                job.failedPath = entry->path;
                job.failedError = job.error;
            }
        }
        ReportOneMore(job.progress);
    }
    FinishProgress(job.progress);
    return 0;
}
