#pragma once
// The container of a vault whose contents are encrypted with its password: a header, then the
// same entry stream as the classic container carries, sealed with AES-256-GCM in segments.
//
// Header (little-endian), STRONG_HEADER_SIZE bytes:
//   0  8  magic "OVSTRONG"
//   8  4  version, 1, 2 or 3 (below)
//  12  4  key derivation, 1 = PBKDF2-HMAC-SHA256
//  16  4  iterations (STRONG_MIN_ITERATIONS .. STRONG_MAX_ITERATIONS)
//  20  4  segment size, STRONG_SEGMENT_SIZE
//  24 16  stream id: random, new with every lock, kept for the container's life and bound into
//         every segment; the vault's record keeps the latest one beside it (VaultSeals)
//  40 16  salt: random, new with every password
//  56 12  wrap nonce: random, new with every password
//  68 32  content key (random), AES-256-GCM under PBKDF2(password, salt)
// 100 16  its tag
// The content key's tag covers, as additional data:
//   version 1: bytes 0..67 of the header;
//   version 2 and 3: bytes 0..67, then the vault's id (4 bytes), the length of its container's
//              name (4 bytes) and that name ("%8.8x.vlt" of the id), so that a container opens
//              only as its own vault's.
// The entry stream's names are in the ANSI code page in versions 1 and 2, as in the classic
// container, and in UTF-8 from version 3, so that a name may be any that Windows allows
// (StrongEntryNameEncoding). Every lock writes version 3; a classic vault's container turned
// into a strong one keeps its classic entry stream, ANSI names and all, as version 2. A new
// password keeps the encoding of the names the segments hold: it rewrites the header of a
// container of version 1 or 2 as version 2, one of version 3 as version 3. A container of
// version 1 still opens; its password may be the one typed in the ANSI or the console's code
// page (EarlierPasswordForms), where version 2 and 3 take the password's UTF-8 bytes alone.
// Segments follow: each STRONG_SEGMENT_SIZE bytes of the entry stream (the last one 0 up to that
// many) encrypted under the content key and followed by its 16-byte tag. The nonce is the
// segment's number (8 bytes, little-endian), three zero bytes and 1 on the last segment, else 0;
// the stream id is the additional data. So a changed byte, a reordered, missing or added segment,
// a container cut short anywhere and a header from another container all fail a tag.

#include <cstdint>
#include <string>
#include <vector>

#include "../base/secret_memory.h"
#include "../crypto/cng_crypto.h"
#include "../crypto/password_verifier.h"
#include "../files/win_file.h"
#include "entry_stream.h"

enum : uint32_t {
    STRONG_HEADER_SIZE = 116,
    STRONG_SEGMENT_SIZE = 64 * 1024,
    STRONG_SEALED_SEGMENT = STRONG_SEGMENT_SIZE + GCM_TAG_SIZE,
    STRONG_ITERATIONS = PASSWORD_ITERATIONS,
    STRONG_MIN_ITERATIONS = 600000,
    STRONG_MAX_ITERATIONS = 10000000,
};

// The version every new header is written in, unless its writer names another.
enum : uint32_t { STRONG_LATEST_VERSION = 3 };
// The encoding of the names in the entry stream of a container of `version`.
NameEncoding StrongEntryNameEncoding(uint32_t version);

// The container's size for an entry stream of `stream` bytes.
uint64_t StrongContainerSize(uint64_t stream);

enum { STRONG_STREAM_ID_SIZE = 16 };

// The vault a container belongs to, as its header binds it.
struct ContainerBinding {
    uint32_t vaultId;
    std::string containerName;
};

// The content key as the header holds it. Passwords are UTF-8.
struct StrongHeader {
    uint8_t bytes[STRONG_HEADER_SIZE];
    // A new header of `version` (2 up to the latest): the stream id given, a random content key,
    // wrapped under the password for the vault `binding` names.
    bool Make(const char* password, const ContainerBinding& binding,
              const uint8_t streamId[STRONG_STREAM_ID_SIZE], uint8_t contentKey[AES_KEY_SIZE],
              uint32_t version = STRONG_LATEST_VERSION);
    // Gives the content key a new password: new salt and nonce, `version` (2 up to the latest;
    // the latest unless named), the stream id kept.
    bool Wrap(const char* password, const ContainerBinding& binding,
              const uint8_t contentKey[AES_KEY_SIZE], uint32_t version = STRONG_LATEST_VERSION);
    // False when the header is not one of ours, or the password does not unwrap it for the
    // vault `binding` names.
    bool Unwrap(const char* password, const ContainerBinding& binding,
                uint8_t contentKey[AES_KEY_SIZE]) const;
    const uint8_t* StreamId() const { return bytes + 24; }
    uint32_t Version() const;
};

class StrongContainerWriter : public EntryWriter {
public:
    explicit StrongContainerWriter(WinFile& file);
    // Makes the content key, wraps it under the password (a slow derivation) and writes the
    // header of `version` with the stream id given. False (with the system's error when a write
    // failed) when it cannot.
    bool Begin(const char* password, const ContainerBinding& binding,
               const uint8_t streamId[STRONG_STREAM_ID_SIZE],
               uint32_t version = STRONG_LATEST_VERSION);
    uint8_t* Room(uint32_t bytes, uint32_t* available) override;
    void Seal(uint32_t length) override;
    bool Finish() override;
    uint64_t Count() const override { return count_; }

private:
    // Seals and writes the whole segments kept; with `last`, everything, the last one marked.
    bool WriteSegments(bool last);

    WinFile& file_;
    StrongHeader header_;
    AesGcmKey key_;
    SecretBytes plain_;
    std::vector<uint8_t> sealed_;
    uint32_t used_ = 0;
    uint64_t segment_ = 0;
    uint64_t count_ = 0;
};

class StrongContainerReader : public EntryReader {
public:
    // capacity: the most one Take asks for.
    StrongContainerReader(WinFile& file, uint32_t capacity);
    enum Opened { OPENED, REFUSED, READ_FAILED };
    // Reads the header and unwraps the content key. REFUSED: not a container of this kind, or
    // the password does not open it for the vault `binding` names; READ_FAILED: the system's
    // error says why.
    Opened Open(const char* password, const ContainerBinding& binding);
    // Once opened: the stream id of the lock that wrote the container.
    const uint8_t* StreamId() const { return header_.StreamId(); }
    // Once opened: the encoding of the names in its entry stream.
    NameEncoding EntryNames() const override { return StrongEntryNameEncoding(header_.Version()); }
    // SHORT as well when a segment fails its tag: nothing of that segment is given out.
    Result Take(uint32_t length, const uint8_t** data) override;
    uint64_t Count() const override { return count_; }
    // Segments opened so far: after a SHORT while !LastOpened(), the number of the segment that
    // failed its tag or is missing.
    uint64_t SegmentsOpened() const { return segment_; }
    // Whether the segment marked last has been opened: the stream goes no further.
    bool LastOpened() const { return ended_; }

private:
    Result Refill();
    Result OpenSegment();
    bool FillRaw();

    WinFile& file_;
    StrongHeader header_;
    AesGcmKey key_;
    uint32_t capacity_;
    SecretBytes plain_;
    std::vector<uint8_t> raw_;
    uint32_t begin_ = 0, end_ = 0;
    uint32_t rawBegin_ = 0, rawEnd_ = 0;
    bool rawEof_ = false;
    bool ended_ = false;  // the last segment has been opened
    uint64_t segment_ = 0;
    uint64_t count_ = 0;
};

// A new password for the locked container at `path` takes three steps, so that a crash at any
// point leaves a container that opens with the password the record accepts:
// WriteRewrappedContainer writes the container with a new header beside it (the segments are
// copied as they are, nothing is decrypted) and flushes it; the caller then saves the record
// with the new password; PlaceRewrappedContainer puts the copy in the container's place. Before
// an unlock, SettleRewrappedContainer finishes or drops a change that was cut short.
std::string RewrappedContainerPath(const std::string& path);
// False when it cannot: *refused when the old password does not open the container, else the
// system's error says why; nothing is left beside the container then.
bool WriteRewrappedContainer(const std::string& path, const ContainerBinding& binding,
                             const char* oldPassword, const char* newPassword, bool* refused);
bool PlaceRewrappedContainer(const std::string& path);
// With a copy beside the container: drops it when the container opens with `password` (the
// record never took the copy's password), else puts it in place when it opens with `password`.
// False only when a file operation fails (the system's error says why).
bool SettleRewrappedContainer(const std::string& path, const ContainerBinding& binding,
                              const char* password);
// Without the password: true only when both files could be read and the copy beside the
// container is certainly not complete (its length or its bytes after the header differ from the
// container's), so it was cut short while written and the record never took its password.
bool IsCutShortRewrappedCopy(const std::string& path);
