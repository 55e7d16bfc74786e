#include "entry_stream_choice.h"

#include <cstring>

#include "../container/container_stream.h"
#include "../container/strong_container.h"

using namespace vault_job;

std::unique_ptr<EntryWriter> MakeEntryWriter(VaultJob& job, WinFile& container)
{
    if (!job.strong) {
        uint8_t* buffer = TransferBuffer(job);
        if (!buffer)
            return nullptr;
        return std::unique_ptr<EntryWriter>(
            new ContainerWriter(container, *job.cipher, buffer, TRANSFER_BUFFER_SIZE / 2));
    }
    std::unique_ptr<StrongContainerWriter> writer(new StrongContainerWriter(container));
    if (!writer->Begin(job.password, job.binding, job.streamId))
        return nullptr;
    return writer;
}

std::unique_ptr<EntryReader> MakeEntryReader(VaultJob& job, WinFile& container,
                                             ReaderRefusal* refused)
{
    *refused = ReaderRefusal::NONE;
    if (!job.strong) {
        uint8_t* buffer = TransferBuffer(job);
        if (!buffer)
            return nullptr;
        return std::unique_ptr<EntryReader>(
            new ContainerReader(container, *job.cipher, buffer, TRANSFER_BUFFER_SIZE));
    }
    std::unique_ptr<StrongContainerReader> reader(
        new StrongContainerReader(container, TRANSFER_BUFFER_SIZE));
    StrongContainerReader::Opened opened = reader->Open(job.password, job.binding);
    if (opened == StrongContainerReader::OPENED) {
        if (!job.streamKnown ||
            std::memcmp(reader->StreamId(), job.streamId, STRONG_STREAM_ID_SIZE) == 0)
            return reader;
        *refused = ReaderRefusal::OTHER_LOCK;
        return nullptr;
    }
    if (opened == StrongContainerReader::REFUSED)
        *refused = ReaderRefusal::NOT_OPENED;
    return nullptr;
}
