// The log never grows past its size cap: records that would take it further are dropped, the
// first of them replaced by one notice, and the closing banner still ends the log.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "diag/log.h"
#include "log_fixture.h"

namespace kestro::test {
namespace {

namespace fs = std::filesystem;

const std::string kClosing = "[  INFO ]  {Error Subsystem} Log file closed @ 071226:220509";

TEST_F(LogTest, RecordsPastTheSizeCapAreDroppedAfterOneNotice) {
    openAsStartUp();
    const std::uint64_t header = fs::file_size(logPath());
    const std::string message = "There's an undefined number in renderer_render!";
    const std::string record = "[ ERROR ]  " + message + "\r\n";
    // As many records as fit below the reserve, then some more.
    const std::uint64_t fitting = (kLogSizeCap - kLogReserve - header) / record.size();
    for (std::uint64_t i = 0; i < fitting + 1000; ++i) {
        ASSERT_TRUE(errorLogWrite(message, kLevelError));
    }
    EXPECT_EQ(fs::file_size(logPath()),
              header + fitting * record.size() + 11 + kLogFullNotice.size() + 2);
    // Dropped records still count as written, at every level, and the threshold still rules.
    EXPECT_TRUE(errorLogDebug("dropped"));
    EXPECT_TRUE(errorLogWrite("dropped", kLevelDanger));
    EXPECT_FALSE(errorLogWrite("dropped", 7));
    closeAsShutDown();

    const std::string text = readFile(logPath());
    EXPECT_LE(text.size(), kLogSizeCap);
    const std::vector<std::string> records = logRecords(text);
    ASSERT_EQ(records.size(), 5 + fitting + 2);
    // Every record that fits is the record as it always is, byte for byte.
    EXPECT_EQ(text.substr(static_cast<std::size_t>(header), record.size() * 3),
              record + record + record);
    for (std::size_t i = 5; i < 5 + fitting; ++i) {
        ASSERT_EQ(records[i] + "\r\n", record) << i;
    }
    EXPECT_EQ(records[records.size() - 2], "[ ERROR ]  " + std::string(kLogFullNotice));
    EXPECT_EQ(records.back(), kClosing);
    EXPECT_TRUE(text.ends_with(kClosing + "\r\n"));

    // The next run starts with an empty log and the whole room again.
    resetErrorLog();
    openAsStartUp();
    EXPECT_TRUE(errorLogWrite(message, kLevelError));
    closeAsShutDown();
    EXPECT_EQ(logRecords(readFile(logPath())).at(5) + "\r\n", record);
}

// One record too long for the room left is dropped whole, never cut; the notice carries the
// dropped record's tag, so a threshold that lets only danger records through still holds.
TEST_F(LogTest, ARecordLongerThanTheRoomLeftIsDroppedWhole) {
    ASSERT_TRUE(errorLogFile(true, "kestro", 13, 2, false));
    const std::string huge(static_cast<std::size_t>(kLogSizeCap), 'x');
    EXPECT_TRUE(errorLogWrite(huge, kLevelDanger));
    EXPECT_TRUE(errorLogWrite("short", kLevelDanger));
    closeAsShutDown();
    EXPECT_EQ(readFile(logPath()), "[ DANGER]  " + std::string(kLogFullNotice) + "\r\n");
}

}  // namespace
}  // namespace kestro::test
