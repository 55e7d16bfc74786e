#include "container_stream.h"

#include <cstring>

#include "container_format.h"

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
    uint32_t padded = uint32_t(PaddedSize(length));
    std::memset(buffer_ + used_ + length, 0, padded - length);
    used_ += padded;
    count_ += padded;
}

bool ContainerWriter::Flush()
{
    if (used_ == 0)
        return true;
    cipher_.Encrypt(buffer_, used_);
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
    clear_ -= begin_;
    begin_ = 0;
    uint32_t got = 0;
    if (!file_.Read(buffer_ + end_, capacity_ - end_, &got))
        return false;
    end_ += got;
    // Deciphered a whole read at a time, up to its last whole block; a partial block waits for
    // the rest of its bytes. Every Take is whole blocks, so it never reaches past clear_.
    uint32_t whole = (end_ - clear_) & ~7u;
    cipher_.Decrypt(buffer_ + clear_, whole);
    clear_ += whole;
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
    begin_ += length;
    count_ += length;
    *data = at;
    return OK;
}
