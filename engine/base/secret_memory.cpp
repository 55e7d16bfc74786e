#include "secret_memory.h"

#include <windows.h>

#include <new>

void WipeBytes(void* bytes, size_t length)
{
    if (bytes && length > 0)
        SecureZeroMemory(bytes, length);
}

void BlockWiper::operator()(uint8_t* block) const
{
    WipeBytes(block, size);
    delete[] block;
}

WipedBlock NewWipedBlock(size_t size)
{
    BlockWiper wiper;
    wiper.size = size;
    return WipedBlock(new (std::nothrow) uint8_t[size], wiper);
}

void WipeString(std::string& text)
{
    text.resize(text.capacity());
    WipeBytes(&text[0], text.size());
    text.clear();
}

void WipeString(std::wstring& text)
{
    text.resize(text.capacity());
    WipeBytes(&text[0], text.size() * sizeof(wchar_t));
    text.clear();
}

bool SameSecretBytes(const uint8_t* a, const uint8_t* b, size_t length)
{
    volatile uint8_t differences = 0;
    for (size_t i = 0; i < length; ++i)
        differences = differences | uint8_t(a[i] ^ b[i]);
    return differences == 0;
}

void WipeStrings(std::vector<std::string>& texts)
{
    for (std::string& text : texts)
        WipeString(text);
    texts.clear();
}
