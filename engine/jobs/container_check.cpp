#include "container_check.h"

#include "../container/container_stream.h"
#include "../container/entry_head.h"
#include "../container/strong_container.h"
#include "entry_stream_choice.h"

using namespace vault_job;

namespace {

enum class Step { Next, End, Stop };

std::string Number(uint64_t n) { return std::to_string(n); }

std::string Counted(uint64_t n, const char* one, const char* many)
{
    return Number(n) + " " + (n == 1 ? one : many);
}

// The walk of one container: what it reads through, and where it is.
struct Walk {
    Walk(ContainerCheck& check, EntryReader& reader) : check(check), reader(reader) {}

    ContainerCheck& check;
    EntryReader& reader;
    uint64_t entry = 0;  // the number of the entry being read, from 1
    EntryHead head;
};

std::string Where(const Walk& walk, uint64_t offset)
{
    return "at offset " + Number(offset) +
           (walk.check.job.strong ? " of its decrypted entry stream" : "");
}

// How far the container goes, for a problem with what was to come after `offset`.
std::string EndText(const Walk& walk)
{
    if (walk.check.job.strong)
        return "its entry stream ends before then";
    return "the container ends at offset " + Number(walk.check.job.total);
}

std::string EntryText(const Walk& walk, bool named)
{
    std::string text = "entry " + Number(walk.entry);
    if (named)
        text += " (\"" + ShownEntryName(walk.head.name, walk.head.encoding) + "\")";
    return text + " " + Where(walk, walk.head.offset);
}

// Ends the walk on the damage found: completed, for the result to say what it is.
Step Damaged(Walk& walk, const std::string& what)
{
    walk.check.damage = what;
    FinishProgress(walk.check.job.progress);
    return Step::Stop;
}

// A strong segment whose tag failed, or none (empty) when the stream itself ended early.
std::string FailedSegmentText(const Walk& walk)
{
    if (!walk.check.job.strong)
        return std::string();
    const auto& strong = static_cast<const StrongContainerReader&>(walk.reader);
    if (strong.LastOpened())
        return std::string();
    uint64_t number = strong.SegmentsOpened();
    return "segment " + Number(number + 1) + ", at offset " +
           Number(STRONG_HEADER_SIZE + number * STRONG_SEALED_SEGMENT) +
           " of the container, does not pass its check (its tag): the container has been "
           "changed there, or cut short.";
}

// The text of a head the walk refused.
std::string HeadProblemText(const Walk& walk, EntryHeadResult result)
{
    const EntryHeader& header = walk.head.header;
    switch (result) {
    case EntryHeadResult::SHORT_HEADER:
        if (walk.check.job.strong)
            return EntryText(walk, false) + ": its entry stream ends within its header.";
        return EntryText(walk, false) + ": the container ends " +
               Number(walk.check.job.total - walk.head.offset) + " bytes into its header, which "
               "takes " + Number(ENTRY_HEADER_SIZE) + " (it has been cut short, or holds bytes "
               "after its last entry).";
    case EntryHeadResult::BAD_TYPE:
        return EntryText(walk, false) + ": its header gives the type " + Number(header.type) +
               " where " + Number(ENTRY_TYPE) + " was expected (the container is damaged there, "
               "or holds bytes after its last entry).";
    case EntryHeadResult::NAME_TOO_LONG:
        return EntryText(walk, false) + ": its header gives a name of " +
               Number(header.nameLength) + " bytes, where at most " +
               Number(MAX_ENTRY_NAME_LENGTH) + " were expected.";
    case EntryHeadResult::SHORT_NAME:
        return EntryText(walk, false) + ": its header gives a name of " +
               Number(header.nameLength) + " bytes, up to offset " +
               Number(walk.head.offset + ENTRY_HEADER_SIZE + PaddedSize(header.nameLength)) +
               ", but " + EndText(walk) + ".";
    case EntryHeadResult::BAD_NAME:
        return EntryText(walk, false) + ": its name is not text in the encoding the container "
               "keeps names in.";
    default:  // UNSAFE_NAME
        return EntryText(walk, true) + ": its name cannot be restored as it is (it would leave "
               "the vault's folder, or Windows would change it).";
    }
}

// Reads a file's contents to their end.
Step CheckContents(Walk& walk)
{
    VaultJob& job = walk.check.job;
    uint64_t size = walk.head.header.size;
    uint64_t remaining = PaddedSize(size);
    while (remaining > 0) {
        if (job.progress.IsCancelRequested())
            return Step::Stop;
        uint32_t take = remaining < TRANSFER_BUFFER_SIZE ? uint32_t(remaining)
                                                         : uint32_t(TRANSFER_BUFFER_SIZE);
        const uint8_t* data = nullptr;
        EntryReader::Result read = walk.reader.Take(take, &data);
        if (read == EntryReader::FAILED)
            return Fail(job, GetLastError(), job.containerPath), Step::Stop;
        if (read != EntryReader::OK) {
            std::string segment = FailedSegmentText(walk);
            if (!segment.empty())
                return Damaged(walk, segment);
            uint64_t start = walk.head.offset + ENTRY_HEADER_SIZE +
                             PaddedSize(walk.head.header.nameLength);
            return Damaged(walk, EntryText(walk, true) + ": its header gives " + Number(size) +
                                     " bytes of contents, up to offset " +
                                     Number(start + PaddedSize(size)) + ", but " +
                                     EndText(walk) + ".");
        }
        remaining -= take;
        Report(job, nullptr, walk.reader.Count());
    }
    ++walk.check.files;
    walk.check.bytes += size;
    return Step::Next;
}

Step CheckEntry(Walk& walk)
{
    ++walk.entry;
    EntryHeadResult result = ReadEntryHead(walk.reader, walk.check.job.names, &walk.head);
    if (result == EntryHeadResult::END)
        return Step::End;
    if (result == EntryHeadResult::READ_FAILED)
        return Fail(walk.check.job, GetLastError(), walk.check.job.containerPath), Step::Stop;
    if (result != EntryHeadResult::OK) {
        std::string segment = result == EntryHeadResult::SHORT_HEADER ||
                                      result == EntryHeadResult::SHORT_NAME
                                  ? FailedSegmentText(walk)
                                  : std::string();
        return Damaged(walk, segment.empty() ? HeadProblemText(walk, result) : segment);
    }
    std::string status = "Checking " + ShownEntryName(walk.head.name, walk.head.encoding);
    Report(walk.check.job, &status, walk.reader.Count());
    if (walk.head.header.attributes & FILE_ATTRIBUTE_DIRECTORY) {
        ++walk.check.folders;
        return Step::Next;
    }
    return CheckContents(walk);
}

// The reader of the job's container, or null after the check has ended (damaged or failed).
std::unique_ptr<EntryReader> OpenReader(ContainerCheck& check, WinFile& container)
{
    ReaderRefusal refused = ReaderRefusal::NONE;
    std::unique_ptr<EntryReader> reader = MakeEntryReader(check.job, container, &refused);
    if (reader)
        return reader;
    if (refused == ReaderRefusal::NONE) {
        Fail(check.job, GetLastError(), check.job.containerPath);
        return nullptr;
    }
    check.damage = refused == ReaderRefusal::OTHER_LOCK
                       ? "it opens with the password, but it is not the one the latest lock of "
                         "the vault wrote: it comes from an earlier lock (put back from a backup, "
                         "say), and the vault unlocks from it only with orvella-cli unlock "
                         "--accept-earlier."
                       : "its header does not open with the vault's password: the header is "
                         "damaged, or the container is not this vault's.";
    check.headerRefused = refused == ReaderRefusal::NOT_OPENED;
    FinishProgress(check.job.progress);
    return nullptr;
}

}  // namespace

DWORD WINAPI CheckContainerProc(void* parameter)
{
    ContainerCheck& check = *static_cast<ContainerCheck*>(parameter);
    VaultJob& job = check.job;
    StartProgress(job.progress, "Check vault " + job.vaultName, job.total);
    WinFile container;
    if (!container.OpenForReading(job.containerPath, job.names))
        return Fail(job, GetLastError(), job.containerPath), 0;
    std::unique_ptr<EntryReader> reader = OpenReader(check, container);
    if (!reader)
        return 0;
    Walk walk(check, *reader);
    Step step = Step::Next;
    while (step == Step::Next) {
        if (job.progress.IsCancelRequested())
            return 0;
        step = CheckEntry(walk);
    }
    if (job.strong)
        check.segments = static_cast<StrongContainerReader&>(*reader).SegmentsOpened();
    if (step == Step::End)
        FinishProgress(job.progress);
    return 0;
}

std::string CheckResultText(const ContainerCheck& check)
{
    const VaultJob& job = check.job;
    std::string found = Counted(check.files, "file", "files") + " (" +
                        Counted(check.bytes, "byte", "bytes") + ") and " +
                        Counted(check.folders, "folder", "folders");
    std::string head = "The container " + job.containerPath + " of vault \"" + job.vaultName +
                       "\" ";
    if (!check.damage.empty()) {
        std::string text = head + "is damaged: " + check.damage;
        if (check.files + check.folders > 0)
            text += "\r\nBefore that, " + found + " were found sound.";
        return text;
    }
    std::string text = head + "is sound: " + found + ", read to its end.";
    if (job.strong)
        text += " Its header opens with the password, and every segment passes its check (" +
                Counted(check.segments, "segment", "segments") + ").";
    return text;
}
