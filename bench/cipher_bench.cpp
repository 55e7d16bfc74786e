// The cipher alone: our Blowfish variant against OpenSSL's Blowfish ECB, both encrypting the
// same 32 KiB buffers in place, as the lock job does. Built natively (the cipher needs no Win32);
// without OpenSSL (-DNO_OPENSSL, as for the Windows build) it times ours only.

#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "../engine/crypto/blowfish_cipher.h"

#ifndef NO_OPENSSL
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/blowfish.h>
#endif

namespace {

const size_t kBuffer = 32768;
const int kRounds = 8192;  // 256 MiB in all

template <class Work> double MegabytesPerSecond(Work work)
{
    auto start = std::chrono::steady_clock::now();
    work();
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return double(kBuffer) * kRounds / (1024.0 * 1024.0) / seconds;
}

}  // namespace

int main()
{
    std::vector<unsigned char> buffer(kBuffer);
    for (size_t i = 0; i < kBuffer; ++i)
        buffer[i] = (unsigned char)(i * 31 + 7);

    BlowfishCipher ours;
    ours.SetKey("password", 8);
    double oursRate = 0;
    for (int trial = 0; trial < 3; ++trial) {
        double rate = MegabytesPerSecond([&] {
            for (int round = 0; round < kRounds; ++round)
                ours.Encrypt(buffer.data(), kBuffer, buffer.data(), kBuffer);
        });
        oursRate = rate > oursRate ? rate : oursRate;
    }
    std::printf("cipher ours:    %8.1f MiB/s\n", oursRate);

#ifndef NO_OPENSSL
    BF_KEY key;
    BF_set_key(&key, 8, reinterpret_cast<const unsigned char*>("password"));
    double theirRate = 0;
    for (int trial = 0; trial < 3; ++trial) {
        double rate = MegabytesPerSecond([&] {
            for (int round = 0; round < kRounds; ++round)
                for (size_t at = 0; at < kBuffer; at += 8)
                    BF_ecb_encrypt(&buffer[at], &buffer[at], &key, BF_ENCRYPT);
        });
        theirRate = rate > theirRate ? rate : theirRate;
    }
    std::printf("cipher openssl: %8.1f MiB/s\n", theirRate);
    std::printf("cipher throughput ratio (ours / openssl): %.2f (target at least 2)\n",
                oursRate / theirRate);
#endif
    return 0;
}
