#include "restored_file_writer.h"

#include <cstring>

#include "vault_job.h"

RestoredFileWriter::RestoredFileWriter(WinFile& file, uint64_t size) : file_(file)
{
    if (size <= TRANSFER_BUFFER_SIZE)
        return;
    copies_.reset(new uint8_t[2 * TRANSFER_BUFFER_SIZE]);
    writer_.reset(new BackgroundWriter(file));
}

bool RestoredFileWriter::Write(const uint8_t* data, uint32_t length)
{
    if (!writer_)
        return file_.Write(data, length);
    // The writer is done with this copy: starting the write of the other one waited for it.
    uint8_t* copy = copies_.get() + next_ * TRANSFER_BUFFER_SIZE;
    std::memcpy(copy, data, length);
    next_ ^= 1;
    return writer_->Start(copy, length);
}

bool RestoredFileWriter::Finish() { return !writer_ || writer_->Wait(); }
