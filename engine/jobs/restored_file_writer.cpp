#include "restored_file_writer.h"

#include <cstring>
#include <new>

#include "vault_job.h"

RestoredFileWriter::RestoredFileWriter(WinFile& file, uint64_t size) : file_(file)
{
    if (size <= TRANSFER_BUFFER_SIZE)
        return;
    // Without memory for the copies (the size comes from the container, which may be damaged)
    // the file is written at once instead.
    copies_ = NewWipedBlock(2 * TRANSFER_BUFFER_SIZE);
    if (copies_)
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
