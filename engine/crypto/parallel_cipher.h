#pragma once
// Encrypts or decrypts a large buffer of whole blocks on two processors at once: the caller takes
// the first half and a helper thread of this object the second. ECB enciphers every block on its
// own, so the result is byte for byte what one thread makes. Buffers below a few blocks' worth,
// and every buffer on a machine with one processor, stay on the caller: a small vault starts no
// thread. The helper is started with the first large buffer and ends with the object.

#include <cstdint>
#include <thread>

#include "../base/slim_lock.h"
#include "block_cipher.h"

class ParallelCipher {
public:
    // cipher: set up already; its Encrypt and Decrypt must be safe on two different buffers at
    // once (they only read the key schedule).
    explicit ParallelCipher(BlockCipher& cipher);
    ~ParallelCipher();
    ParallelCipher(const ParallelCipher&) = delete;
    ParallelCipher& operator=(const ParallelCipher&) = delete;

    // In place; length is a multiple of the block size.
    void Encrypt(uint8_t* data, uint32_t length) { Run(data, length, true); }
    void Decrypt(uint8_t* data, uint32_t length) { Run(data, length, false); }

private:
    void Run(uint8_t* data, uint32_t length, bool encrypt);
    void Apply(uint8_t* data, uint32_t length, bool encrypt);
    void Help();

    BlockCipher& cipher_;
    const bool split_;  // more than one processor
    SlimMutex mutex_;
    SlimCondition changed_;
    uint8_t* data_ = nullptr;  // the helper's part while busy_
    uint32_t length_ = 0;
    bool encrypt_ = false;
    bool busy_ = false;
    bool quit_ = false;
    std::thread helper_;
};
