#pragma once
// The one wrapper through which the program reads and writes the registry.
// Reads never fail loudly: they fall back to the caller's default (or null for binary data).
// Writes report success as a bool. Nothing here shows a message.

#include <windows.h>
#include <string>

// Status of the most recent registry call made through any CRegistryKey (0 = success).
// The length-only query of ReadString and Close leave it alone.
extern LONG LastStatus;

class CRegistryKey {
public:
    CRegistryKey() = default;
    // Opens (creating when missing) subKey below parent at once.
    CRegistryKey(const char* subKey, HKEY parent);
    virtual ~CRegistryKey();

    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    // Creates or opens subKey with full access. Does not close an earlier handle.
    bool Open(const char* subKey, HKEY parent);
    // Opens subKey below parent with full access only when it exists; never creates it.
    bool OpenExisting(const char* subKey, HKEY parent);
    void Close();
    HKEY GetHandle() const { return handle_; }

    // The stored number, or defaultValue when the value cannot be read.
    DWORD ReadDword(const char* name, DWORD defaultValue) const;
    bool WriteDword(const char* name, DWORD value);

    // The stored text. The stored size is taken as length plus one, so data that ends without a
    // terminator loses its last character and an empty stored string reads as "".
    // A missing value, a size of 0 or a failed second query give defaultValue.
    std::string ReadString(const char* name, const std::string& defaultValue) const;
    bool WriteString(const char* name, const std::string& text);

    // Fills buffer and returns it, or returns null on failure. The size the registry reports
    // (the needed size when the buffer is too small) goes to *size whatever the result.
    void* ReadBinary(const char* name, void* buffer, DWORD capacity, DWORD* size = nullptr) const;
    bool WriteBinary(const char* name, const void* data, DWORD length);

    bool DeleteValue(const char* name);

    // Writes what was changed in the key through to the disk (RegFlushKey) before returning.
    bool Flush();

private:
    HKEY handle_ = nullptr;
};
