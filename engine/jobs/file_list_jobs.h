#pragma once
// The two jobs over a file list (FileList::CopyTo and FileList::DeleteAll run them behind the
// progress dialog): what each worker is handed, and the workers themselves.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "../base/progress_state.h"
#include "../files/file_list.h"

struct CopyJob {
    ProgressState progress;
    const FileList* list = nullptr;
    std::string destination;
    bool overwrite = false;
    uint32_t error = 0;
    std::string failedPath;  // the target that could not be written
};

struct DeleteJob {
    ProgressState progress;
    const FileList* list = nullptr;
    uint32_t error = 0;
    std::string failedPath;  // the first entry that could not be removed, and why
    uint32_t failedError = 0;
    std::vector<std::string> changedPaths;  // kept: changed since their stamps were taken
};

DWORD WINAPI CopyFilesProc(void* job);
DWORD WINAPI DeleteFilesProc(void* job);

