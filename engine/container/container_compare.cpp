#include "container_compare.h"

#include <windows.h>

#include <cstring>

#include "../base/secret_memory.h"
#include "../crypto/blowfish_cipher.h"
#include "../files/win_file.h"
#include "../names/vault_name.h"
#include "container_format.h"

namespace {

const uint32_t kChunk = 1 << 20;  // a whole number of content chunks

// Walks the container entry by entry. Contents are read only where the folder has a file of the
// same name and size to compare them with, and skipped otherwise, so that a folder beside a large
// container costs what the folder holds, not what the container holds.
class Comparison {
public:
    Comparison(WinFile& container, uint64_t size)
        : container_(container), left_(size), bytes_(kChunk), fileBytes_(kChunk)
    {
        cipher_.SetKey("", 0);
    }

    enum Step { NEXT, END, DAMAGED };
    Step Entry(const std::string& folder, ComparedEntry* entry);

private:
    // Reads and decrypts `length` bytes (whole blocks) into bytes_; false when they are not all
    // there.
    bool Take(uint32_t length);
    bool Skip(uint64_t length);
    // Takes a file's contents; *same: `file` (when given) holds exactly them.
    bool Contents(uint64_t size, WinFile* file, bool* same);

    WinFile& container_;
    uint64_t left_;  // bytes of the container not yet taken
    BlowfishCipher cipher_;
    SecretBytes bytes_;
    SecretBytes fileBytes_;
};

bool Comparison::Take(uint32_t length)
{
    uint32_t got = 0;
    if (length > left_ || !container_.Read(bytes_.data(), length, &got) || got != length)
        return false;
    left_ -= length;
    cipher_.Decrypt(bytes_.data(), length, bytes_.data(), length);
    return true;
}

bool Comparison::Skip(uint64_t length)
{
    if (length > left_ || !container_.Skip(length))
        return false;
    left_ -= length;
    return true;
}

Comparison::Step Comparison::Entry(const std::string& folder, ComparedEntry* entry)
{
    if (left_ == 0)
        return END;
    if (!Take(ENTRY_HEADER_SIZE))
        return DAMAGED;
    EntryHeader header = DecodeEntryHeader(bytes_.data());
    if (header.type != ENTRY_TYPE || header.nameLength > MAX_ENTRY_NAME_LENGTH ||
        !Take(uint32_t(PaddedSize(header.nameLength))))
        return DAMAGED;
    entry->relative.assign(reinterpret_cast<const char*>(bytes_.data()), header.nameLength);
    if (!IsSafeRelativeName(entry->relative))
        return DAMAGED;
    std::string path = folder + "\\" + entry->relative;
    entry->isDirectory = (header.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    DWORD attributes = AttributesOf(path);
    entry->inFolder = attributes != INVALID_FILE_ATTRIBUTES &&
                      ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == entry->isDirectory;
    entry->same = entry->inFolder;
    if (entry->isDirectory)
        return NEXT;
    WinFile file;
    uint64_t size = 0;
    bool comparable = entry->inFolder && file.OpenForReading(path) && file.Size(&size) &&
                      size == header.size;
    if (!comparable) {
        entry->same = false;
        return Skip(ContentSize(header.size)) ? NEXT : DAMAGED;
    }
    return Contents(header.size, &file, &entry->same) ? NEXT : DAMAGED;
}

bool Comparison::Contents(uint64_t size, WinFile* file, bool* same)
{
    *same = true;
    for (uint64_t remaining = size; remaining > 0;) {
        uint32_t length = remaining < kChunk ? uint32_t(remaining) : kChunk;
        if (!Take(uint32_t(PaddedSize(length))))
            return false;
        uint32_t got = 0;
        *same = *same && file->Read(fileBytes_.data(), length, &got) && got == length &&
                std::memcmp(bytes_.data(), fileBytes_.data(), length) == 0;
        remaining -= length;
    }
    return true;
}

}  // namespace

bool CompareContainerWithFolder(const std::string& container, const std::string& folder,
                                std::vector<ComparedEntry>* entries)
{
    entries->clear();
    WinFile file;
    uint64_t size = 0;
    if (!file.OpenForReading(container) || !file.Size(&size))
        return false;
    Comparison comparison(file, size);
    for (;;) {
        ComparedEntry entry;
        Comparison::Step step = comparison.Entry(folder, &entry);
        if (step == Comparison::END)
            return true;
        if (step == Comparison::DAMAGED) {
            entries->clear();
            return false;
        }
        entries->push_back(entry);
    }
}
