#include "strong_container.h"

#include <cstring>

#include "../crypto/password_text.h"
#include "../names/container_files.h"
#include "container_format.h"

namespace {

const char kMagic[8] = {'O', 'V', 'S', 'T', 'R', 'O', 'N', 'G'};
const uint32_t kWrappedPart = 68;  // the header bytes the content key's tag covers
// Segments sealed per write, and opened per read.
const uint32_t kBatch = 16;

void PutU32(uint8_t* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = uint8_t(value >> (8 * i));
}

uint32_t GetU32(const uint8_t* at)
{
    return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

void SegmentNonce(uint64_t number, bool last, uint8_t nonce[GCM_NONCE_SIZE])
{
    for (int i = 0; i < 8; ++i)
        nonce[i] = uint8_t(number >> (8 * i));
    nonce[8] = nonce[9] = nonce[10] = 0;
    nonce[11] = last ? 1 : 0;
}

bool DeriveWrappingKey(const char* password, const uint8_t* header, AesGcmKey* key)
{
    uint8_t derived[AES_KEY_SIZE];
    bool done = DerivePbkdf2Sha256(password, header + 40, 16, GetU32(header + 16), derived,
                                   sizeof(derived)) &&
                key->SetKey(derived);
    SecureZeroMemory(derived, sizeof(derived));
    return done;
}

const uint32_t kLatestVersion = STRONG_LATEST_VERSION;
// The first version whose entry stream holds UTF-8 names.
const uint32_t kUtf8NamesVersion = 3;

// What the content key's tag covers for a header of `version` (see the header's layout).
std::vector<uint8_t> WrappedPart(const uint8_t* header, uint32_t version,
                                 const ContainerBinding& binding)
{
    std::vector<uint8_t> part(header, header + kWrappedPart);
    if (version >= 2) {
        uint8_t numbers[8];
        PutU32(numbers, binding.vaultId);
        PutU32(numbers + 4, uint32_t(binding.containerName.size()));
        part.insert(part.end(), numbers, numbers + sizeof(numbers));
        part.insert(part.end(), binding.containerName.begin(), binding.containerName.end());
    }
    return part;
}

// Unwraps the content key with the one form of the password given.
bool UnwrapWith(const char* password, const uint8_t* header, const std::vector<uint8_t>& part,
                uint8_t contentKey[AES_KEY_SIZE])
{
    AesGcmKey wrapping;
    return DeriveWrappingKey(password, header, &wrapping) &&
           wrapping.Open(header + 56, part.data(), uint32_t(part.size()), header + 68,
                         AES_KEY_SIZE, contentKey, header + 100);
}

}  // namespace

NameEncoding StrongEntryNameEncoding(uint32_t version)
{
    return version >= kUtf8NamesVersion ? NameEncoding::UTF8 : NameEncoding::ANSI;
}

uint32_t StrongHeader::Version() const { return GetU32(bytes + 8); }

uint64_t StrongContainerSize(uint64_t stream)
{
    return STRONG_HEADER_SIZE + stream + (stream / STRONG_SEGMENT_SIZE + 1) * GCM_TAG_SIZE;
}

bool StrongHeader::Make(const char* password, const ContainerBinding& binding,
                        const uint8_t streamId[STRONG_STREAM_ID_SIZE],
                        uint8_t contentKey[AES_KEY_SIZE], uint32_t version)
{
    std::memset(bytes, 0, sizeof(bytes));
    std::memcpy(bytes, kMagic, sizeof(kMagic));
    PutU32(bytes + 12, 1);
    PutU32(bytes + 16, STRONG_ITERATIONS);
    PutU32(bytes + 20, STRONG_SEGMENT_SIZE);
    std::memcpy(bytes + 24, streamId, STRONG_STREAM_ID_SIZE);
    return RandomBytes(contentKey, AES_KEY_SIZE) && Wrap(password, binding, contentKey, version);
}

bool StrongHeader::Wrap(const char* password, const ContainerBinding& binding,
                        const uint8_t contentKey[AES_KEY_SIZE], uint32_t version)
{
    if (version < 2 || version > kLatestVersion)
        return false;  // version 1 binds no vault
    PutU32(bytes + 8, version);
    AesGcmKey wrapping;
    if (!RandomBytes(bytes + 40, 16 + GCM_NONCE_SIZE) ||
        !DeriveWrappingKey(password, bytes, &wrapping))
        return false;
    std::vector<uint8_t> part = WrappedPart(bytes, version, binding);
    return wrapping.Seal(bytes + 56, part.data(), uint32_t(part.size()), contentKey, AES_KEY_SIZE,
                         bytes + 68, bytes + 100);
}

bool StrongHeader::Unwrap(const char* password, const ContainerBinding& binding,
                          uint8_t contentKey[AES_KEY_SIZE]) const
{
    uint32_t version = GetU32(bytes + 8);
    uint32_t iterations = GetU32(bytes + 16);
    if (std::memcmp(bytes, kMagic, sizeof(kMagic)) != 0 || version < 1 ||
        version > kLatestVersion || GetU32(bytes + 12) != 1 ||
        GetU32(bytes + 20) != STRONG_SEGMENT_SIZE || iterations < STRONG_MIN_ITERATIONS ||
        iterations > STRONG_MAX_ITERATIONS)
        return false;
    std::vector<uint8_t> part = WrappedPart(bytes, version, binding);
    if (UnwrapWith(password, bytes, part, contentKey))
        return true;
    if (version >= 2)
        return false;
    std::vector<std::string> forms = EarlierPasswordForms(password);
    bool opened = false;
    for (const std::string& form : forms)
        opened = opened || UnwrapWith(form.c_str(), bytes, part, contentKey);
    WipeStrings(forms);
    return opened;
}

StrongContainerWriter::StrongContainerWriter(WinFile& file)
    : file_(file), plain_(kBatch * STRONG_SEGMENT_SIZE + ENTRY_HEADER_SIZE + CONTENT_CHUNK),
      sealed_(kBatch * STRONG_SEALED_SEGMENT + STRONG_SEALED_SEGMENT)
{
}

bool StrongContainerWriter::Begin(const char* password, const ContainerBinding& binding,
                                  const uint8_t streamId[STRONG_STREAM_ID_SIZE], uint32_t version)
{
    uint8_t contentKey[AES_KEY_SIZE];
    bool made = header_.Make(password, binding, streamId, contentKey, version) &&
                key_.SetKey(contentKey);
    SecureZeroMemory(contentKey, sizeof(contentKey));
    if (!made) {
        SetLastError(ERROR_ENCRYPTION_FAILED);
        return false;
    }
    return file_.Write(header_.bytes, STRONG_HEADER_SIZE);
}

uint8_t* StrongContainerWriter::Room(uint32_t bytes, uint32_t* available)
{
    if (plain_.size() - used_ < bytes && !WriteSegments(false))
        return nullptr;
    if (available)
        *available = uint32_t(plain_.size()) - used_;
    return plain_.data() + used_;
}

void StrongContainerWriter::Seal(uint32_t length)
{
    uint32_t padded = uint32_t(PaddedSize(length));
    std::memset(plain_.data() + used_ + length, 0, padded - length);
    used_ += padded;
    count_ += padded;
}

bool StrongContainerWriter::WriteSegments(bool last)
{
    uint32_t at = 0;
    uint32_t out = 0;
    // A whole segment is written only once more follows it, so the last one always holds what
    // remains (possibly nothing) and can be marked.
    while (used_ - at > STRONG_SEGMENT_SIZE || (last && at <= used_)) {
        uint32_t length = used_ - at < STRONG_SEGMENT_SIZE ? used_ - at : STRONG_SEGMENT_SIZE;
        bool final = last && at + length == used_;
        uint8_t nonce[GCM_NONCE_SIZE];
        SegmentNonce(segment_++, final, nonce);
        if (!key_.Seal(nonce, header_.StreamId(), 16, plain_.data() + at, length,
                       sealed_.data() + out, sealed_.data() + out + length)) {
            SetLastError(ERROR_ENCRYPTION_FAILED);
            return false;
        }
        at += length;
        out += length + GCM_TAG_SIZE;
        if (final)
            break;
    }
    if (out > 0 && !file_.Write(sealed_.data(), out))
        return false;
    std::memmove(plain_.data(), plain_.data() + at, used_ - at);
    used_ -= at;
    return true;
}

bool StrongContainerWriter::Finish() { return WriteSegments(true); }

StrongContainerReader::StrongContainerReader(WinFile& file, uint32_t capacity)
    : file_(file), capacity_(capacity), plain_(capacity + STRONG_SEGMENT_SIZE),
      raw_(kBatch * STRONG_SEALED_SEGMENT + STRONG_SEALED_SEGMENT)
{
}

StrongContainerReader::Opened StrongContainerReader::Open(const char* password,
                                                          const ContainerBinding& binding)
{
    uint32_t got = 0;
    if (!file_.Read(header_.bytes, STRONG_HEADER_SIZE, &got))
        return READ_FAILED;
    uint8_t contentKey[AES_KEY_SIZE];
    bool opened = got == STRONG_HEADER_SIZE && header_.Unwrap(password, binding, contentKey) &&
                  key_.SetKey(contentKey);
    SecureZeroMemory(contentKey, sizeof(contentKey));
    return opened ? OPENED : REFUSED;
}

// Keeps more than one sealed segment in raw_ unless the file has ended, so that whether a
// segment is the last one is known.
bool StrongContainerReader::FillRaw()
{
    if (rawEof_ || rawEnd_ - rawBegin_ > STRONG_SEALED_SEGMENT)
        return true;
    std::memmove(raw_.data(), raw_.data() + rawBegin_, rawEnd_ - rawBegin_);
    rawEnd_ -= rawBegin_;
    rawBegin_ = 0;
    uint32_t room = uint32_t(raw_.size()) - rawEnd_;
    uint32_t got = 0;
    if (!file_.Read(raw_.data() + rawEnd_, room, &got))
        return false;
    rawEnd_ += got;
    rawEof_ = got < room;
    return true;
}

EntryReader::Result StrongContainerReader::OpenSegment()
{
    if (!FillRaw())
        return FAILED;
    uint32_t have = rawEnd_ - rawBegin_;
    if (have < GCM_TAG_SIZE)
        return SHORT;  // the last segment is missing, or cut short
    uint32_t sealed = have < STRONG_SEALED_SEGMENT ? have : STRONG_SEALED_SEGMENT;
    bool last = rawEof_ && sealed == have;
    uint32_t length = sealed - GCM_TAG_SIZE;
    uint8_t nonce[GCM_NONCE_SIZE];
    SegmentNonce(segment_, last, nonce);
    const uint8_t* in = raw_.data() + rawBegin_;
    if (!key_.Open(nonce, header_.StreamId(), 16, in, length, plain_.data() + end_, in + length))
        return SHORT;
    ++segment_;
    rawBegin_ += sealed;
    end_ += length;
    ended_ = last;
    return OK;
}

EntryReader::Result StrongContainerReader::Refill()
{
    std::memmove(plain_.data(), plain_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    while (!ended_ && plain_.size() - end_ >= STRONG_SEGMENT_SIZE) {
        Result opened = OpenSegment();
        if (opened != OK)
            return opened;
    }
    return OK;
}

EntryReader::Result StrongContainerReader::Take(uint32_t length, const uint8_t** data)
{
    if (end_ - begin_ < length && !ended_) {
        Result refilled = Refill();
        if (refilled != OK)
            return refilled;
    }
    uint32_t have = end_ - begin_;
    if (have < length)
        return have == 0 && length > 0 ? END : SHORT;
    *data = plain_.data() + begin_;
    begin_ += length;
    count_ += length;
    return OK;
}

namespace {

// Copies the rest of `from` to the end of `to`.
bool CopyRest(WinFile& from, WinFile& to, std::vector<uint8_t>& buffer)
{
    for (;;) {
        uint32_t got = 0;
        if (!from.Read(buffer.data(), uint32_t(buffer.size()), &got))
            return false;
        if (got > 0 && !to.Write(buffer.data(), got))
            return false;
        if (got < buffer.size())
            return true;
    }
}

}  // namespace

namespace {

// Reads the header at the start of the file at `path`; false when it cannot be read whole.
bool ReadHeader(const std::string& path, WinFile& file, StrongHeader* header)
{
    uint32_t got = 0;
    if (!file.OpenForReading(path) || !file.Read(header->bytes, STRONG_HEADER_SIZE, &got))
        return false;
    if (got != STRONG_HEADER_SIZE)
        SetLastError(ERROR_HANDLE_EOF);
    return got == STRONG_HEADER_SIZE;
}

// Whether the container at `path` opens with the password.
bool OpensWith(const std::string& path, const ContainerBinding& binding, const char* password)
{
    WinFile file;
    StrongHeader header;
    uint8_t contentKey[AES_KEY_SIZE];
    bool opens = ReadHeader(path, file, &header) && header.Unwrap(password, binding, contentKey);
    SecureZeroMemory(contentKey, sizeof(contentKey));
    return opens;
}

}  // namespace

std::string RewrappedContainerPath(const std::string& path)
{
    return ContainerFilePath(path, ContainerFile::Rewrapped);
}

bool WriteRewrappedContainer(const std::string& path, const ContainerBinding& binding,
                             const char* oldPassword, const char* newPassword, bool* refused)
{
    *refused = false;
    WinFile container;
    StrongHeader header;
    if (!ReadHeader(path, container, &header))
        return false;
    uint8_t contentKey[AES_KEY_SIZE];
    if (!header.Unwrap(oldPassword, binding, contentKey)) {
        *refused = true;
        return false;
    }
    // The segments are kept as they are, so their names keep their encoding.
    uint32_t version = header.Version() >= kUtf8NamesVersion ? kLatestVersion : 2;
    bool wrapped = header.Wrap(newPassword, binding, contentKey, version);
    SecureZeroMemory(contentKey, sizeof(contentKey));
    if (!wrapped) {
        SetLastError(ERROR_ENCRYPTION_FAILED);
        return false;
    }
    std::string temporary = RewrappedContainerPath(path);
    WinFile copy;
    std::vector<uint8_t> buffer(1 << 20);
    bool written = copy.Create(temporary, false, FILE_ATTRIBUTE_HIDDEN) &&
                   copy.Write(header.bytes, STRONG_HEADER_SIZE) &&
                   CopyRest(container, copy, buffer) && copy.Flush();
    copy.Close();
    if (!written) {
        DWORD error = GetLastError();
        RemoveAnyFile(temporary);
        SetLastError(error);
    }
    return written;
}

bool PlaceRewrappedContainer(const std::string& path)
{
    return MovePath(RewrappedContainerPath(path), path,
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

bool SettleRewrappedContainer(const std::string& path, const ContainerBinding& binding,
                              const char* password)
{
    std::string rewrapped = RewrappedContainerPath(path);
    DWORD attributes = AttributesOf(rewrapped);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return true;  // a folder of that name is not a copy (a vault named so, long ago)
    if (OpensWith(path, binding, password))
        return RemoveAnyFile(rewrapped);  // a change that never reached the record
    if (OpensWith(rewrapped, binding, password))
        return PlaceRewrappedContainer(path);  // the record took the new password; finish
    return true;  // neither opens: the unlock says so and changes nothing
}

bool IsCutShortRewrappedCopy(const std::string& path)
{
    WinFile container, copy;
    uint64_t size = 0, copySize = 0;
    if (!container.OpenForReading(path) || !copy.OpenForReading(RewrappedContainerPath(path)) ||
        !container.Size(&size) || !copy.Size(&copySize))
        return false;
    if (size != copySize || size < STRONG_HEADER_SIZE)
        return true;
    if (!container.Skip(STRONG_HEADER_SIZE) || !copy.Skip(STRONG_HEADER_SIZE))
        return false;
    std::vector<uint8_t> ours(1 << 20), theirs(1 << 20);
    for (;;) {
        uint32_t got = 0, copied = 0;
        if (!container.Read(ours.data(), uint32_t(ours.size()), &got) ||
            !copy.Read(theirs.data(), uint32_t(theirs.size()), &copied))
            return false;
        if (got != copied || std::memcmp(ours.data(), theirs.data(), got) != 0)
            return true;
        if (got < ours.size())
            return false;
    }
}
