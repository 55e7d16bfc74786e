#include "container_stream.h"

#include <cstring>

ContainerWriter::ContainerWriter(WinFile& file, BlockCipher& cipher, uint8_t* buffer,
                                 uint32_t capacity)
    : writer_(file), cipher_(cipher), halves_{buffer, buffer + capacity}, buffer_(buffer),
      capacity_(capacity)
{
}

uint8_t* ContainerWriter::Room(uint32_t bytes, uint32_t* available)
{
    if (capacity_ - used_ < bytes && !Flush())
        return nullptr;
    if (available)
        *available = capacity_ - used_;
    return buffer_ + used_;
}

void ContainerWriter::Seal(uint32_t length)
{
    uint32_t padded = 0;
    cipher_.Encrypt(buffer_ + used_, length, buffer_ + used_, capacity_ - used_, &padded);
    used_ += padded;
    count_ += padded;
}

bool ContainerWriter::Flush()
{
    if (used_ == 0)
        return true;
    if (!writer_.Start(buffer_, used_))
        return false;
    current_ = 1 - current_;
    buffer_ = halves_[current_];
    used_ = 0;
    return true;
}

bool ContainerWriter::Finish() { return Flush() && writer_.Wait(); }

ContainerReader::ContainerReader(WinFile& file, BlockCipher& cipher, uint8_t* buffer,
                                 uint32_t capacity)
    : file_(file), cipher_(cipher), buffer_(buffer), capacity_(capacity)
{
}

bool ContainerReader::Refill()
{
    std::memmove(buffer_, buffer_ + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    uint32_t got = 0;
    if (!file_.Read(buffer_ + end_, capacity_ - end_, &got))
        return false;
    end_ += got;
    eof_ = end_ < capacity_;
    return true;
}

ContainerReader::Result ContainerReader::Take(uint32_t length, const uint8_t** data)
{
    if (end_ - begin_ < length && !eof_ && !Refill())
        return FAILED;
    uint32_t have = end_ - begin_;
    if (have < length)
        return have == 0 && length > 0 ? END : SHORT;
    uint8_t* at = buffer_ + begin_;
    cipher_.Decrypt(at, length, at, length);
    begin_ += length;
    count_ += length;
    *data = at;
    return OK;
}
