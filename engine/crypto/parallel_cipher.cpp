#include "parallel_cipher.h"

#include <windows.h>

namespace {

// Below this a hand-over to the helper costs more than it saves (a wake-up under Wine is a round
// trip to its server, some tens of microseconds; the cipher does about 12 KiB in that time).
const uint32_t kSplitFrom = 256 * 1024;

bool HasSeveralProcessors()
{
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    return system.dwNumberOfProcessors > 1;
}

}  // namespace

ParallelCipher::ParallelCipher(BlockCipher& cipher)
    : cipher_(cipher), split_(HasSeveralProcessors())
{
}

ParallelCipher::~ParallelCipher()
{
    if (!helper_.joinable())
        return;
    {
        std::lock_guard<SlimMutex> hold(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
    helper_.join();
}

void ParallelCipher::Apply(uint8_t* data, uint32_t length, bool encrypt)
{
    if (encrypt)
        cipher_.Encrypt(data, length, data, length);
    else
        cipher_.Decrypt(data, length, data, length);
}

void ParallelCipher::Run(uint8_t* data, uint32_t length, bool encrypt)
{
    if (!split_ || length < kSplitFrom)
        return Apply(data, length, encrypt);
    // The cipher works on four blocks at a time: each half is a whole number of such groups.
    uint32_t half = length / 2 & ~31u;
    {
        std::lock_guard<SlimMutex> hold(mutex_);
        if (!helper_.joinable())
            helper_ = std::thread([this] { Help(); });
        data_ = data + half;
        length_ = length - half;
        encrypt_ = encrypt;
        busy_ = true;
    }
    changed_.notify_all();
    Apply(data, half, encrypt);
    std::unique_lock<SlimMutex> hold(mutex_);
    changed_.wait(hold, [this] { return !busy_; });
}

void ParallelCipher::Help()
{
    std::unique_lock<SlimMutex> hold(mutex_);
    for (;;) {
        changed_.wait(hold, [this] { return busy_ || quit_; });
        if (!busy_)
            return;
        hold.unlock();
        Apply(data_, length_, encrypt_);
        hold.lock();
        busy_ = false;
        changed_.notify_all();
    }
}
