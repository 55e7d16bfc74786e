#pragma once
// Memory that holds a secret (a password, a key, a verifier, the plaintext of a vault) is wiped
// when it is no longer needed, and secrets are compared in a time that does not depend on where
// they differ.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Zeroes `length` bytes in a way the compiler may not leave out.
void WipeBytes(void* bytes, size_t length);

// Zeroes all of a string's storage (also what lies beyond its length), then empties it.
void WipeString(std::string& text);
void WipeString(std::wstring& text);

// Whether the two runs of `length` bytes are equal, looking at every byte whatever they hold.
bool SameSecretBytes(const uint8_t* a, const uint8_t* b, size_t length);

// An allocator whose blocks are wiped before they are given back, so that a container of
// secrets leaves nothing behind when it grows, shrinks or ends.
template <typename T>
struct WipingAllocator {
    typedef T value_type;
    WipingAllocator() = default;
    template <typename U>
    WipingAllocator(const WipingAllocator<U>&) {}
    T* allocate(size_t count) { return static_cast<T*>(::operator new(count * sizeof(T))); }
    void deallocate(T* block, size_t count)
    {
        WipeBytes(block, count * sizeof(T));
        ::operator delete(block);
    }
    template <typename U>
    bool operator==(const WipingAllocator<U>&) const { return true; }
    template <typename U>
    bool operator!=(const WipingAllocator<U>&) const { return false; }
};

// Bytes of a secret: wiped when the vector lets go of them.
typedef std::vector<uint8_t, WipingAllocator<uint8_t>> SecretBytes;

// A block of memory that is wiped before it is freed (a buffer that holds a vault's plaintext).
struct BlockWiper {
    size_t size = 0;
    void operator()(uint8_t* block) const;
};
typedef std::unique_ptr<uint8_t[], BlockWiper> WipedBlock;
// `size` bytes, or null when there is no memory for them.
WipedBlock NewWipedBlock(size_t size);

// Wipes a string when the scope that holds it ends.
class StringWiper {
public:
    explicit StringWiper(std::string& text) : text_(text) {}
    ~StringWiper() { WipeString(text_); }
    StringWiper(const StringWiper&) = delete;
    StringWiper& operator=(const StringWiper&) = delete;

private:
    std::string& text_;
};

// Wipes every string of the vector, then empties it.
void WipeStrings(std::vector<std::string>& texts);
