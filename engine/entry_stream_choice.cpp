#include "entry_stream_choice.h"

#include "container_stream.h"
#include "strong_container.h"

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
    if (!writer->Begin(job.password))
        return nullptr;
    return writer;
}

std::unique_ptr<EntryReader> MakeEntryReader(VaultJob& job, WinFile& container, bool* refused)
{
    *refused = false;
    if (!job.strong) {
        uint8_t* buffer = TransferBuffer(job);
        if (!buffer)
            return nullptr;
        return std::unique_ptr<EntryReader>(
            new ContainerReader(container, *job.cipher, buffer, TRANSFER_BUFFER_SIZE));
    }
    std::unique_ptr<StrongContainerReader> reader(
        new StrongContainerReader(container, TRANSFER_BUFFER_SIZE));
    StrongContainerReader::Opened opened = reader->Open(job.password);
    if (opened == StrongContainerReader::OPENED)
        return reader;
    *refused = opened == StrongContainerReader::REFUSED;
    return nullptr;
}
