// Unlocks thousands of damaged and hostile containers through VaultRecord::Unlock, the call the
// program and the console companion make. Each case puts one mutated container in place of a
// locked vault's and checks that the unlock neither crashes nor hangs, writes nothing outside the
// vault folder, and either fails with a message that names what failed, leaving the container,
// the record and the vaults root as they were, or unlocks exactly the files the container holds.
//
//   ORVELLA_FUZZ_CASES  the number of cases: 1,000 by default, which keeps the test near a
//                       minute under Wine (every unlock costs a few dozen round trips to the
//                       Wine server); a nightly run asks for 10,000 or more
//   ORVELLA_FUZZ_SEED   the run's seed (default a fixed one, so that runs repeat; "time" for a
//                       new one each run, as a nightly run would)
//   ORVELLA_FUZZ_FIRST  the number of the first case; with ORVELLA_FUZZ_CASES=1 it replays one

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "container_bytes.h"
#include "engine/vault/vault_store.h"
#include "recording_front_end.h"
#include "scratch.h"
#include "wide_tree.h"

namespace {

// splitmix64: every case draws from its own stream, so one case can be replayed alone.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t Next()
    {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    size_t Below(size_t n) { return n ? size_t(Next() % n) : 0; }
    template <typename T, size_t N> const T& Pick(const T (&items)[N]) { return items[Below(N)]; }

private:
    uint64_t state_;
};

uint64_t Setting(const char* name, uint64_t otherwise)
{
    const char* text = std::getenv(name);
    if (!text || !*text)
        return otherwise;
    if (!std::strcmp(text, "time"))
        return uint64_t(GetTickCount()) * 2654435761u ^ GetCurrentProcessId();
    return std::strtoull(text, nullptr, 10);
}

std::string Components(int count, size_t length)
{
    std::string path;
    for (int i = 0; i < count; ++i)
        path += (i ? "\\" : "") + std::string(length, char('a' + i % 26));
    return path;
}

// Where a name that escaped the vault folder would land: it is never made there.
const char kEscape[] = "orvella-fuzz-escape";

// Names a container may carry that must never be restored as they say: they leave the folder,
// reach a device or a stream, or name something Windows would change. And a few that may.
std::vector<std::string> HostileNames()
{
    const std::string e = kEscape;
    return {
        "..", ".", "...", " ", "..\\" + e, "..\\..\\" + e, "..\\..\\..\\" + e,
        "a\\..\\..\\" + e, "a\\..\\..\\..\\" + e, "a/../../" + e, "../" + e, ".\\..\\" + e,
        "\\" + e, "/" + e, "\\\\" + e, "C:\\" + e, "C:" + e, "C:..\\" + e, "Z:\\tmp\\" + e,
        "\\\\?\\C:\\" + e, "\\\\.\\C:\\" + e, "\\??\\C:\\" + e, "\\\\localhost\\C$\\" + e,
        "\\\\?\\UNC\\localhost\\C$\\" + e, "\\\\.\\GLOBALROOT\\" + e, "\\\\?\\", "::",
        "NUL", "nul.txt", "Nul", "CON", "con.tar.gz", "AUX", "PRN", "COM1", "com9.log", "LPT1",
        "lpt9", "CONIN$", "CONOUT$", "a\\NUL\\b", "NUL .txt",
        std::string("ok\0..\\..\\", 9) + e, std::string(1, '\0'), std::string("a\0", 2),
        "x\x01y", "tab\tname", "\x7f",
        "trail.", "trail ", "dir\\trail.\\x", "dir.\\x", "dir \\x",
        "a\\\\b", "a\\", "\\", "a\\.\\b", "a\\..",
        "stream:evil", "file::$DATA", "a:b", "wild*", "q?", "<x>", "pipe|", "quote\"",
        std::string(256, 'n'), std::string(300, 'n'), std::string(MAX_ENTRY_NAME_LENGTH, 'd'),
        std::string(MAX_ENTRY_NAME_LENGTH, '\\'), Components(10, 100), Components(160, 200),
        Components(163, 200),
        "\xff\xfe", "\x81\x8d\x8f\x90\x9d", "caf\xe9", "a/b", "A", "desktop.ini", "%TEMP%\\" + e,
    };
}

// Sets bytes [at, at + width) of a header's plaintext to the low bytes of value.
void PatchHeader(std::string& bytes, size_t offset, size_t at, size_t width, uint64_t value)
{
    std::string head = DecryptBlocks(bytes.substr(offset, ENTRY_HEADER_SIZE));
    for (size_t i = 0; i < width; ++i)
        head[at + i] = char(value >> (8 * i));
    bytes.replace(offset, ENTRY_HEADER_SIZE, EncryptBlocks(head));
}

uint64_t HeaderField(const std::string& bytes, size_t offset, size_t at, size_t width)
{
    std::string head = DecryptBlocks(bytes.substr(offset, ENTRY_HEADER_SIZE));
    uint64_t value = 0;
    for (size_t i = 0; i < width; ++i)
        value |= uint64_t(uint8_t(head[at + i])) << (8 * i);
    return value;
}

class Mutator {
public:
    Mutator(Random& random, std::string& what) : random_(random), what_(what) {}

    void Apply(std::string& bytes)
    {
        typedef void (Mutator::*Step)(std::string&);
        static const Step steps[] = {
            &Mutator::FlipBits,    &Mutator::FlipBits,    &Mutator::Truncate,
            &Mutator::Extend,      &Mutator::SetField,    &Mutator::SetField,
            &Mutator::SetField,    &Mutator::CraftName,   &Mutator::CraftName,
            &Mutator::CraftName,   &Mutator::Shuffle,     &Mutator::MoveBytes,
        };
        int count = 1 + int(random_.Below(3));
        for (int i = 0; i < count; ++i)
            (this->*random_.Pick(steps))(bytes);
    }

private:
    void Say(const std::string& text) { what_ += (what_.empty() ? "" : "; ") + text; }

    void FlipBits(std::string& bytes)
    {
        if (bytes.empty())
            return Extend(bytes);
        int flips = 1 + int(random_.Below(8));
        for (int i = 0; i < flips; ++i) {
            size_t at = random_.Below(bytes.size());
            int bit = int(random_.Below(8));
            bytes[at] = char(bytes[at] ^ (1 << bit));
            Say("bit " + std::to_string(bit) + " of byte " + std::to_string(at) + " flipped");
        }
    }

    void Truncate(std::string& bytes)
    {
        if (bytes.empty())
            return Extend(bytes);
        size_t length = random_.Below(bytes.size());
        if (random_.Below(2))
            length &= ~size_t(7);
        bytes.resize(length);
        Say("cut to " + std::to_string(length) + " bytes");
    }

    void Extend(std::string& bytes)
    {
        switch (random_.Below(3)) {
        case 0: {
            size_t count = 1 + random_.Below(64);
            for (size_t i = 0; i < count; ++i)
                bytes += char(random_.Next());
            Say(std::to_string(count) + " random bytes appended");
            break;
        }
        case 1: {
            EntryHeader header;
            header.attributes = random_.Below(2) ? 0x10 : 0x20;
            header.size = random_.Below(100);
            header.nameLength = uint16_t(random_.Below(20));
            uint8_t head[ENTRY_HEADER_SIZE];
            EncodeEntryHeader(header, head);
            bytes += EncryptBlocks(std::string(reinterpret_cast<char*>(head), sizeof(head)));
            Say("a lone header appended (size " + std::to_string(header.size) + ", name " +
                std::to_string(header.nameLength) + ")");
            break;
        }
        default:
            bytes += bytes.substr(random_.Below(bytes.size() + 1));
            Say("its own tail appended");
        }
    }

    // Offsets of entry headers, as far as the bytes can be read as entries.
    std::vector<size_t> Headers(const std::string& bytes)
    {
        std::vector<ContainerEntry> entries;
        ReadContainer(bytes, &entries);
        std::vector<size_t> offsets;
        for (const ContainerEntry& entry : entries)
            offsets.push_back(entry.offset);
        if (offsets.empty() && bytes.size() >= ENTRY_HEADER_SIZE)
            offsets.push_back(0);
        return offsets;
    }

    void SetField(std::string& bytes)
    {
        std::vector<size_t> headers = Headers(bytes);
        if (headers.empty())
            return Extend(bytes);
        size_t offset = headers[random_.Below(headers.size())];
        struct Field {
            const char* name;
            size_t at, width;
        };
        static const Field fields[] = {{"type", 0, 2},       {"attributes", 4, 4},
                                       {"size", 8, 8},       {"size", 8, 8},
                                       {"size high", 12, 4}, {"name length", 16, 2},
                                       {"name length", 16, 2}, {"reserved", 18, 6}};
        const Field& field = random_.Pick(fields);
        uint64_t old = HeaderField(bytes, offset, field.at, field.width);
        const uint64_t interesting[] = {
            0, 1, 7, 8, 9, 0x10, 0x20, 255, 256, 259, 260, 4096, 32767, 32768, 32769, 65535,
            65536, 0x400, 0x410, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0x100000000ull,
            0x100000001ull, 1ull << 40, 1ull << 62, 0x7FFFFFFFFFFFFFFFull, ~0ull,
            old + 1, old - 1, old + 7, old - 8, old + 8, old * 2, old + 32768, old ^ 0x10,
            random_.Next()};
        uint64_t value = random_.Pick(interesting);
        PatchHeader(bytes, offset, field.at, field.width, value);
        Say(std::string(field.name) + " of the header at " + std::to_string(offset) + " set to " +
            std::to_string(value));
    }

    void CraftName(std::string& bytes)
    {
        std::vector<ContainerEntry> entries;
        if (!ReadContainer(bytes, &entries))
            return SetField(bytes);
        static const std::vector<std::string> names = HostileNames();
        const std::string& name = names[random_.Below(names.size())];
        bool replace = !entries.empty() && random_.Below(2);
        size_t at = random_.Below(entries.size() + (replace ? 0 : 1));
        EntryHeader header;
        std::string contents;
        if (replace) {
            header = entries[at].header;
            contents = entries[at].contents;
        } else {
            header.attributes = random_.Below(2) ? 0x10 : 0x20;
            contents = header.attributes == 0x10 ? "" : "crafted";
            header.size = contents.size();
        }
        header.nameLength = uint16_t(name.size());
        size_t begin = at < entries.size() ? entries[at].offset : bytes.size();
        size_t end = replace && at + 1 < entries.size() ? entries[at + 1].offset
                     : replace                          ? bytes.size()
                                                        : begin;
        bytes.replace(begin, end - begin, EntryBytes(header, name, contents));
        std::string shown = name.size() > 60 ? name.substr(0, 60) + "..." : name;
        for (char& c : shown)
            if (static_cast<unsigned char>(c) < 32)
                c = '?';
        Say(std::string(replace ? "entry " : "before entry ") + std::to_string(at) +
            (replace ? " renamed to \"" : " a new one named \"") + shown + "\" (" +
            std::to_string(name.size()) + " bytes)");
    }

    void Shuffle(std::string& bytes)
    {
        std::vector<ContainerEntry> entries;
        ReadContainer(bytes, &entries);
        if (entries.size() < 2)
            return FlipBits(bytes);
        std::vector<std::string> parts;
        for (size_t i = 0; i < entries.size(); ++i) {
            size_t end = i + 1 < entries.size() ? entries[i + 1].offset : bytes.size();
            parts.push_back(bytes.substr(entries[i].offset, end - entries[i].offset));
        }
        size_t a = random_.Below(parts.size()), b = random_.Below(parts.size());
        switch (random_.Below(3)) {
        case 0: {
            std::string repeated = parts[a];
            parts.insert(parts.begin() + b, repeated);
            Say("entry " + std::to_string(a) + " repeated before entry " + std::to_string(b));
            break;
        }
        case 1:
            parts.erase(parts.begin() + a);
            Say("entry " + std::to_string(a) + " dropped");
            break;
        default:
            std::swap(parts[a], parts[b]);
            Say("entries " + std::to_string(a) + " and " + std::to_string(b) + " swapped");
        }
        bytes.clear();
        for (const std::string& part : parts)
            bytes += part;
    }

    void MoveBytes(std::string& bytes)
    {
        if (bytes.size() < 16)
            return Extend(bytes);
        size_t length = random_.Below(2) ? 8 : 1 + random_.Below(7);
        size_t from = random_.Below(bytes.size() - length), to = random_.Below(bytes.size());
        switch (random_.Below(3)) {
        case 0:
            bytes.insert(to, bytes.substr(from, length));
            Say(std::to_string(length) + " bytes from " + std::to_string(from) +
                " inserted at " + std::to_string(to));
            break;
        case 1:
            bytes.erase(from, length);
            Say(std::to_string(length) + " bytes at " + std::to_string(from) + " removed");
            break;
        default:
            to = random_.Below(bytes.size() - length);
            bytes.replace(to, length, bytes.substr(from, length));
            Say(std::to_string(length) + " bytes from " + std::to_string(from) + " copied over " +
                std::to_string(to));
        }
    }

    Random& random_;
    std::string& what_;
};

// What a folder restored from these entries holds: every folder (with the folders above it) and
// each file with the contents of the last entry of its name. Names as the file system compares
// them; only the directory bit of the attributes.
WideTree ExpectedTree(const std::vector<ContainerEntry>& entries)
{
    WideTree tree;
    for (const ContainerEntry& entry : entries) {
        std::string name = entry.name;
        for (char& c : name)
            if (c == '/')
                c = '\\';
        std::wstring key = Upper(Widen(name));
        for (size_t slash = key.find(L'\\'); slash != std::wstring::npos;
             slash = key.find(L'\\', slash + 1))
            tree[key.substr(0, slash)] = {FILE_ATTRIBUTE_DIRECTORY, ""};
        tree[key] = entry.IsDirectory() ? TreeEntry{FILE_ATTRIBUTE_DIRECTORY, ""}
                                        : TreeEntry{0, entry.contents};
    }
    return tree;
}

// The first name that differs between two trees, shortened, for a failure message.
std::string FirstDifference(const WideTree& actual, const WideTree& expected)
{
    auto shown = [](const std::wstring& name) {
        std::string text;
        for (wchar_t c : name.substr(0, 80))
            text += c >= 32 && c < 127 ? char(c) : '?';
        return text + (name.size() > 80 ? "... (" + std::to_string(name.size()) + ")" : "");
    };
    for (const auto& entry : actual) {
        auto other = expected.find(entry.first);
        if (other == expected.end())
            return "unexpected " + shown(entry.first);
        if (!(other->second == entry.second))
            return "different " + shown(entry.first);
    }
    for (const auto& entry : expected)
        if (!actual.count(entry.first))
            return "missing " + shown(entry.first);
    return "none";
}

// True when the text holds a control character other than the line breaks ("\r\n") of the
// program's own messages: a zero would end a message box's text early, and a name's own line
// break or tab would garble it.
bool HasStrayControl(const std::string& text)
{
    for (size_t at = 0; at < text.size(); ++at) {
        if (text.compare(at, 2, "\r\n") == 0)
            ++at;
        else if (static_cast<unsigned char>(text[at]) < 32)
            return true;
    }
    return false;
}

WideTree OnlyDirectoryBits(WideTree tree)
{
    for (auto& entry : tree)
        entry.second.attributes &= FILE_ATTRIBUTE_DIRECTORY;
    return tree;
}

class ContainerFuzz : public ::testing::Test {
protected:
    ContainerFuzz() : appKey("App", key.Handle()), root(sandbox / "vaults")
    {
        store.Open(appKey);
        CreateDirectoryA(root.c_str(), nullptr);
        EXPECT_TRUE(vault.Create(store, root, "Fuzz", "pw"));
        // Neighbours that no unlock of this vault may touch.
        WriteFileBytes(sandbox / "beside the root.txt", "beside");
        CreateDirectoryA((root + "\\Another vault").c_str(), nullptr);
        WriteFileBytes(root + "\\Another vault\\keep.txt", "another vault's");
        WriteFileBytes(root + "\\00000001.vlt", "another vault's container");
        skip.insert(Upper(L"vaults\\" + Widen(vault.Name())));
        skip.insert(Upper(L"vaults\\" + Widen(vault.ValueName())));
        for (std::string up = sandbox.Path(); up.rfind('\\') != std::string::npos;) {
            up = up.substr(0, up.rfind('\\'));
            escapes.push_back(up + "\\" + kEscape);
        }
        char current[MAX_PATH];
        GetCurrentDirectoryA(sizeof(current), current);
        escapes.push_back(std::string(current) + "\\" + kEscape);
        escapes.push_back(std::string("Z:\\tmp\\") + kEscape);
    }

    std::string Folder() const { return vault.folder.FolderPath(root); }
    std::string Container() const { return vault.folder.ContainerPath(root); }

    // Containers to mutate: one the lock wrote, an empty one, one with names of every padding,
    // and one deeper than MAX_PATH.
    std::vector<std::string> Seeds()
    {
        CreateDirectoryA((Folder() + "\\Letters").c_str(), nullptr);
        CreateDirectoryA((Folder() + "\\Letters\\2009").c_str(), nullptr);
        CreateDirectoryA((Folder() + "\\Empty folder").c_str(), nullptr);
        WriteFileBytes(Folder() + "\\Letters\\2009\\march.doc", PatternBytes(300, 1));
        WriteFileBytes(Folder() + "\\empty.txt", "");
        WriteFileBytes(Folder() + "\\chunk.bin", PatternBytes(CONTENT_CHUNK + 1, 2));
        WriteFileBytes(Folder() + "\\read only.txt", "ro");
        SetFileAttributesA((Folder() + "\\read only.txt").c_str(),
                           FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
        EXPECT_TRUE(vault.Lock(root, "pw"));
        EXPECT_TRUE(frontEnd.TakeErrors().empty());
        EXPECT_TRUE(store.Save(vault));
        std::string locked = ReadFileBytes(Container());
        SetFileAttributesA(Container().c_str(), FILE_ATTRIBUTE_NORMAL);
        std::string padded = ContainerBuilder()
                                 .Entry("a", 0x10, "")
                                 .Entry("a\\b", 0x20, "12345")
                                 .Entry("abcdefgh", 0x21, "8 bytes.")
                                 .Entry("abcdefghi", 0x20, "9 bytes..")
                                 .Entry("x", 0x20, "")
                                 .bytes;
        std::string deep = ContainerBuilder()
                               .Entry(Components(1, 100), 0x10, "")
                               .Entry(Components(2, 100), 0x10, "")
                               .Entry(Components(3, 100), 0x20, "deep")
                               .bytes;
        return {locked, "", padded, deep};
    }

    std::string Replay(uint64_t seed, uint64_t number, const std::string& what) const
    {
        return "Case " + std::to_string(number) + " (" + what + "); replay it with " +
               "ORVELLA_FUZZ_SEED=" + std::to_string(seed) + " ORVELLA_FUZZ_FIRST=" +
               std::to_string(number) + " ORVELLA_FUZZ_CASES=1.";
    }

    // Counts how a case ended: unlocked, or by the kind of the failure's first message.
    void Count(const std::vector<std::string>& errors)
    {
        const char* const kinds[] = {"is damaged or incomplete", "under its own name"};
        for (const char* kind : kinds)
            if (!errors.empty() && errors.front().find(kind) != std::string::npos)
                return void(++outcomes[std::string("failed: ") + kind]);
        ++outcomes[errors.empty() ? "unlocked" : "failed: a file or folder could not be made"];
    }

    // Unlocks `bytes` as the vault's container and checks the outcome.
    void RunCase(const std::string& bytes, const std::string& replay)
    {
        WriteFileBytes(Container(), bytes);
        const VaultRecord before = vault;
        frontEnd.replay = replay;
        bool unlocked = vault.Unlock(root, "pw");
        std::vector<std::string> errors = frontEnd.TakeErrors();
        Count(errors);

        EXPECT_TRUE(SnapshotTree(Prefixed(sandbox.Path()), true, skip) == outside)
            << "something outside the vault folder changed. " << replay;
        for (const std::string& escape : escapes)
            EXPECT_FALSE(Exists(escape)) << escape << " was written. " << replay;
        if (!unlocked) {
            EXPECT_EQ(vault.flags, uint32_t(VAULT_LOCKED)) << replay;
            EXPECT_EQ(0, std::memcmp(&vault, &before, VAULT_RECORD_SIZE)) << replay;
            VaultRecord stored;
            EXPECT_TRUE(store.Load(vault.id, stored) &&
                        std::memcmp(&stored, &before, VAULT_RECORD_SIZE) == 0)
                << "the stored record changed. " << replay;
            EXPECT_TRUE(ReadFileBytes(Container()) == bytes) << "container changed. " << replay;
            EXPECT_FALSE(WideExists(Prefixed(Folder()))) << "restored files left. " << replay;
            EXPECT_FALSE(errors.empty()) << "a failure without a word. " << replay;
            for (const std::string& error : errors) {
                EXPECT_TRUE(error.find(Container()) != std::string::npos ||
                            error.find(Folder()) != std::string::npos)
                    << "\"" << error << "\" names neither the container nor the folder. "
                    << replay;
                EXPECT_FALSE(HasStrayControl(error))
                    << "a control character in \"" << error << "\". " << replay;
            }
            return;
        }
        std::vector<ContainerEntry> entries;
        EXPECT_TRUE(ReadContainer(bytes, &entries)) << "a damaged container unlocked. " << replay;
        EXPECT_TRUE(errors.empty()) << errors.front() << " " << replay;
        EXPECT_EQ(vault.flags, uint32_t(VAULT_UNLOCKED)) << replay;
        EXPECT_FALSE(Exists(Container())) << replay;
        WideTree restored = OnlyDirectoryBits(SnapshotTree(Prefixed(Folder()), true));
        WideTree expected = ExpectedTree(entries);
        EXPECT_TRUE(restored == expected)
            << "the folder does not hold what the container does ("
            << FirstDifference(restored, expected) << "). " << replay;
        RemoveWideTree(Prefixed(Folder()));
        vault = before;
        EXPECT_TRUE(store.Save(vault));
    }

    ScratchKey key;
    CRegistryKey appKey;
    VaultStore store;
    ScratchFolder sandbox;
    std::string root;
    VaultRecord vault;
    RecordingFrontEnd frontEnd;
    std::set<std::wstring> skip;       // the vault's folder and container, in the snapshots
    WideTree outside;                  // the sandbox without them, as it must stay
    std::vector<std::string> escapes;  // where escaped names would land above the sandbox
    std::map<std::string, uint64_t> outcomes;  // how the cases ended
};

}  // namespace

TEST_F(ContainerFuzz, MutatedContainersNeitherEscapeNorLoseAnything)
{
    const uint64_t seed = Setting("ORVELLA_FUZZ_SEED", 20261210);
    const uint64_t count = Setting("ORVELLA_FUZZ_CASES", 1000);
    const uint64_t first = Setting("ORVELLA_FUZZ_FIRST", 0);
    const std::vector<std::string> seeds = Seeds();
    ASSERT_FALSE(HasFailure());
    outside = SnapshotTree(Prefixed(sandbox.Path()), true, skip);
    std::printf("%llu mutated containers from seed %llu (ORVELLA_FUZZ_SEED, ORVELLA_FUZZ_CASES)\n",
                static_cast<unsigned long long>(count), static_cast<unsigned long long>(seed));

    for (uint64_t number = first; number < first + count; ++number) {
        Random random(seed ^ (number * 0xD1B54A32D192ED03ull));
        size_t which = random.Below(seeds.size());
        std::string bytes = seeds[which];
        std::string what = "seed container " + std::to_string(which);
        Mutator(random, what).Apply(bytes);
        RunCase(bytes, Replay(seed, number, what));
        if (HasFailure())
            break;  // one case at a time is enough to read
    }
    for (const auto& outcome : outcomes)
        std::printf("%8llu %s\n", static_cast<unsigned long long>(outcome.second),
                    outcome.first.c_str());
}
