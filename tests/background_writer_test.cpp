// A large file written through BackgroundWriter is flushed as it grows, on a thread of its own:
// its bytes must arrive as given, and a failed write or flush must reach the caller (a flush
// reports a lost write once only, so a failure it meets must not be dropped).
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/files/background_writer.h"
#include "engine/files/win_file.h"
#include "scratch.h"

namespace {

const uint32_t kChunk = 1024 * 1024;
// One chunk more than an early flush takes, so that writes go on while it runs.
const uint32_t kChunks = BackgroundWriter::kFlushEvery / kChunk + 1;

uint8_t PatternByte(uint64_t at) { return uint8_t(at * 7 + at / 4099); }

// Writes kChunks chunks of the pattern, alternating between two buffers as the lock does. 0 when
// every write and flush succeeded, else the system's error that the writer gave.
DWORD WritePattern(WinFile& file)
{
    std::vector<uint8_t> buffers[2] = {std::vector<uint8_t>(kChunk), std::vector<uint8_t>(kChunk)};
    BackgroundWriter writer(file);
    for (uint32_t chunk = 0; chunk < kChunks; ++chunk) {
        std::vector<uint8_t>& buffer = buffers[chunk % 2];
        for (uint32_t i = 0; i < kChunk; ++i)
            buffer[i] = PatternByte(uint64_t(chunk) * kChunk + i);
        if (!writer.Start(buffer.data(), kChunk))
            return GetLastError();
    }
    return writer.Wait() ? 0 : GetLastError();
}

}  // namespace

TEST(BackgroundWriter, FlushesAsTheFileGrowsAndReportsEveryFailure)
{
    ScratchFolder folder;
    const std::string path = folder / "large.bin";
    WinFile file;
    ASSERT_TRUE(file.Create(path));
    file_faults::Disarm();
    ASSERT_EQ(WritePattern(file), DWORD(0));
    const uint32_t operations = file_faults::Count();
    EXPECT_EQ(operations, kChunks + 1);  // every write, and one flush on the way
    file.Close();
    std::string bytes = ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), uint64_t(kChunks) * kChunk);
    for (uint64_t at = 0; at < bytes.size(); ++at)
        if (uint8_t(bytes[at]) != PatternByte(at))
            FAIL() << "differs at " << at;

    // The flush runs beside the writes, so its number among them varies: failing each number in
    // turn fails it once, whatever the order.
    for (uint32_t at = 1; at <= operations; ++at) {
        SCOPED_TRACE(at);
        ASSERT_TRUE(file.Create(path));
        file_faults::Arm(at, file_faults::FAIL, ERROR_DISK_FULL);
        EXPECT_EQ(WritePattern(file), DWORD(ERROR_DISK_FULL));
        file_faults::Disarm();
        file.Close();
    }
}
