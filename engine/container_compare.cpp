#include "container_compare.h"

#include <windows.h>

#include <cstring>

#include "blowfish_cipher.h"
#include "container_format.h"
#include "container_stream.h"
#include "vault_name.h"
#include "win_file.h"

namespace {

const uint32_t kBufferSize = 1 << 20;  // a whole number of content chunks

// Walks the container entry by entry, reading the folder's file beside each file entry.
class Comparison {
public:
    Comparison(WinFile& container, BlockCipher& cipher)
        : buffer_(kBufferSize), fileBytes_(kBufferSize),
          reader_(container, cipher, buffer_.data(), kBufferSize)
    {
    }

    enum Step { NEXT, END, DAMAGED };
    Step Entry(const std::string& folder, ComparedEntry* entry);

private:
    // Takes a file's contents from the container; *same: `file` (when given) holds them exactly.
    bool Contents(uint64_t size, WinFile* file, bool* same);

    std::vector<uint8_t> buffer_;
    std::vector<uint8_t> fileBytes_;
    ContainerReader reader_;
};

Comparison::Step Comparison::Entry(const std::string& folder, ComparedEntry* entry)
{
    const uint8_t* data = nullptr;
    ContainerReader::Result read = reader_.Take(ENTRY_HEADER_SIZE, &data);
    if (read == ContainerReader::END)
        return END;
    if (read != ContainerReader::OK)
        return DAMAGED;
    EntryHeader header = DecodeEntryHeader(data);
    if (header.type != ENTRY_TYPE || header.nameLength > MAX_ENTRY_NAME_LENGTH ||
        reader_.Take(uint32_t(PaddedSize(header.nameLength)), &data) != ContainerReader::OK)
        return DAMAGED;
    entry->relative.assign(reinterpret_cast<const char*>(data), header.nameLength);
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
    return Contents(header.size, comparable ? &file : nullptr, &entry->same) ? NEXT : DAMAGED;
}

bool Comparison::Contents(uint64_t size, WinFile* file, bool* same)
{
    *same = file != nullptr;
    for (uint64_t remaining = size; remaining > 0;) {
        uint32_t length = remaining < kBufferSize ? uint32_t(remaining) : kBufferSize;
        const uint8_t* data = nullptr;
        if (reader_.Take(uint32_t(PaddedSize(length)), &data) != ContainerReader::OK)
            return false;
        if (*same) {
            uint32_t got = 0;
            *same = file->Read(fileBytes_.data(), length, &got) && got == length &&
                    std::memcmp(data, fileBytes_.data(), length) == 0;
        }
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
    if (!file.OpenForReading(container))
        return false;
    BlowfishCipher cipher;
    cipher.SetKey("", 0);
    Comparison comparison(file, cipher);
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
