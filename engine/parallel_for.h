#pragma once
// Runs work(0) .. work(count - 1) on a few threads at once and returns when all have ended.
// For file-system calls that spend their time waiting (on the system, on the disk): several in
// flight overlap those waits. work returns false to stop every thread before its next index.
// No work item may touch another's data; each is called once at most.

#include <cstddef>
#include <functional>

void ParallelFor(size_t count, unsigned threads, const std::function<bool(size_t)>& work);

// Threads for file-system work: enough to overlap waits, few enough to stay polite.
enum { FILE_WORK_THREADS = 4 };
