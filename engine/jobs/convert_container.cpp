#include "convert_container.h"

#include <cstring>

#include "../container/container_stream.h"
#include "job_front_end.h"

using namespace vault_job;

namespace {

// Bytes of the classic stream moved per step, a whole number of cipher blocks.
const uint32_t kStep = TRANSFER_BUFFER_SIZE / 4;

std::string DamagedText(const std::string& container)
{
    return "The container " + container + " is damaged: it ends in the middle of a block.";
}

// Copies the whole classic stream into the writer.
bool CopyStream(VaultJob& job, EntryReader& reader, EntryWriter& writer)
{
    while (reader.Count() < job.total) {
        if (job.progress.IsCancelRequested())
            return false;
        uint64_t left = job.total - reader.Count();
        uint32_t length = left < kStep ? uint32_t(left) : kStep;
        const uint8_t* data = nullptr;
        EntryReader::Result taken = reader.Take(length, &data);
        if (taken != EntryReader::OK) {
            if (taken == EntryReader::FAILED)
                Fail(job, GetLastError(), job.containerPath);
            else
                FailWith(job, DamagedText(job.containerPath));  // it shrank meanwhile
            return false;
        }
        uint8_t* room = writer.Room(length, nullptr);
        if (!room)
            return Fail(job, GetLastError(), job.containerPath), false;
        std::memcpy(room, data, length);
        writer.Seal(length);
        Report(job, nullptr, reader.Count());
    }
    return true;
}

}  // namespace

DWORD WINAPI ConvertContainerProc(void* parameter)
{
    VaultJob& job = *static_cast<VaultJob*>(parameter);
    StartProgress(job.progress, "Encrypt vault " + job.vaultName + " with its password",
                  job.total);
    if (job.total % 8 != 0)
        return FailWith(job, DamagedText(job.containerPath)), 0;
    WinFile classic, copy;
    uint8_t* buffer = TransferBuffer(job);
    if (!buffer || !classic.OpenForReading(job.containerPath))
        return Fail(job, GetLastError(), job.containerPath), 0;
    if (!copy.Create(job.partialPath, false, FILE_ATTRIBUTE_HIDDEN))
        return Fail(job, GetLastError(), job.containerPath), 0;
    ContainerReader reader(classic, *job.cipher, buffer, TRANSFER_BUFFER_SIZE);
    StrongContainerWriter writer(copy);
    if (!writer.Begin(job.password, job.binding, job.streamId, CONVERTED_HEADER_VERSION))
        return Fail(job, GetLastError(), job.containerPath), 0;
    if (!CopyStream(job, reader, writer))
        return 0;
    // The record takes the new kind only once the copy is complete on the disk.
    if (!writer.Finish() || !copy.Flush())
        return Fail(job, GetLastError(), job.containerPath), 0;
    FinishProgress(job.progress);
    return 0;
}
