#pragma once
// Flushes restored files to the disk and closes them, on a few threads of their own. A flush
// waits for the disk, which takes milliseconds for each small file when the disk is busy; several
// at once share the file system's journal commits, and meanwhile the unlock goes on restoring.

#include <deque>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "../base/slim_lock.h"
#include "win_file.h"

class FlushingCloser {
public:
    FlushingCloser() = default;
    ~FlushingCloser();  // waits until every file handed over is closed
    FlushingCloser(const FlushingCloser&) = delete;
    FlushingCloser& operator=(const FlushingCloser&) = delete;

    // Takes over `file`, open for writing at `path`, to be flushed and closed soon; `file` is
    // left closed. Waits while many files are waiting already.
    void Hand(WinFile& file, const std::string& path);
    // Waits until the file at path, if it was handed over, is closed: before it is made again.
    void WaitFor(const std::string& path);
    // Waits until every file handed over is flushed and closed. False when a flush failed; then
    // *failedPath names the first such file and the system's last error says why.
    bool Finish(std::string* failedPath);

    // The encoding of every path handed over, set before the first.
    NameEncoding encoding = NameEncoding::ANSI;

private:
    struct Handed {
        std::unique_ptr<WinFile> file;
        std::string path;
    };
    void Run();

    SlimMutex mutex_;
    SlimCondition changed_;
    std::deque<Handed> waiting_;
    std::multiset<std::wstring> open_;  // the paths handed over and not yet closed
    bool quit_ = false;
    DWORD error_ = 0;
    std::string failedPath_;
    std::vector<std::thread> threads_;  // started with the first file
};
