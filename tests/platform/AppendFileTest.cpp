#include "platform/AppendFile.h"

#include "platform/Path.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

TEST(AppendFileTest, CreatesAppendsAndCutsBack)
{
    TempFolder folder;
    std::string path = folder / "Tolvek.log";
    AppendFile file;
    ASSERT_TRUE(file.Open(path.c_str()));
    uint64_t size = 99;
    ASSERT_TRUE(file.Lock(size));
    EXPECT_EQ(size, 0u);
    EXPECT_TRUE(file.Append("one\r\n", 5));
    EXPECT_TRUE(file.Append("two", 3));
    char last = 0;
    EXPECT_TRUE(file.ReadByteAt(7, last));
    EXPECT_EQ(last, 'o');
    EXPECT_TRUE(file.Truncate(5));
    file.Unlock();
    EXPECT_EQ(ReadBytes(path), "one\r\n");

    AppendFile again;
    ASSERT_TRUE(again.Open(path.c_str()));
    ASSERT_TRUE(again.Lock(size));
    EXPECT_EQ(size, 5u);
    EXPECT_TRUE(again.Append("three\r\n", 7));
    again.Unlock();
    EXPECT_EQ(ReadBytes(path), "one\r\nthree\r\n");
}

TEST(AppendFileTest, RefusesWhatIsNotARegularFile)
{
    TempFolder folder;
    AppendFile inFolder;
    EXPECT_FALSE(inFolder.Open(folder.Path().c_str()));
    EXPECT_EQ(inFolder.GetFailure().kind, FailureKind::NotRegularFile);
    AppendFile missingFolder;
    EXPECT_FALSE(missingFolder.Open((folder / "missing" + kPathSeparator + "Tolvek.log").c_str()));
    EXPECT_EQ(missingFolder.GetFailure().kind, FailureKind::NotFound);
#ifndef _WIN32
    std::string fifo = folder / "fifo.log";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    AppendFile onFifo;
    EXPECT_FALSE(onFifo.Open(fifo.c_str()));
    EXPECT_EQ(onFifo.GetFailure().kind, FailureKind::NotRegularFile);

    // Neither a link nor a dangling one is written through: nothing lands outside the folder.
    TempFolder elsewhere;
    WriteBytes(elsewhere / "target.txt", "kept\n");
    ASSERT_EQ(symlink((elsewhere / "target.txt").c_str(), (folder / "link.log").c_str()), 0);
    ASSERT_EQ(symlink((elsewhere / "new.txt").c_str(), (folder / "dangling.log").c_str()), 0);
    for (const char* name : {"link.log", "dangling.log"}) {
        AppendFile throughLink;
        EXPECT_FALSE(throughLink.Open((folder / name).c_str())) << name;
        EXPECT_EQ(throughLink.GetFailure().kind, FailureKind::SymbolicLink) << name;
    }
    EXPECT_EQ(ReadBytes(elsewhere / "target.txt"), "kept\n");
    EXPECT_FALSE(FileExists(elsewhere / "new.txt"));
#endif
}

TEST(AppendFileTest, WritersThatLockTakeTurns)
{
    TempFolder folder;
    std::string path = folder / "Tolvek.log";
    const int kBlocks = 300;
    auto writer = [&path](char letter) {
        AppendFile file;
        ASSERT_TRUE(file.Open(path.c_str()));
        std::string half(500, letter);
        for (int index = 0; index < kBlocks; ++index) {
            uint64_t size = 0;
            ASSERT_TRUE(file.Lock(size));
            // Two writes under one lock: nobody else's bytes come between them.
            ASSERT_TRUE(file.Append(half.data(), half.size()));
            std::this_thread::yield();
            ASSERT_TRUE(file.Append((half + "\r\n").data(), half.size() + 2));
            file.Unlock();
        }
    };
    std::thread first(writer, 'a');
    std::thread second(writer, 'b');
    first.join();
    second.join();

    std::string log = ReadBytes(path);
    const size_t kBlock = 1002;
    ASSERT_EQ(log.size(), 2u * kBlocks * kBlock);
    for (size_t at = 0; at < log.size(); at += kBlock) {
        ASSERT_TRUE(log.compare(at, kBlock, std::string(1000, 'a') + "\r\n") == 0 ||
                    log.compare(at, kBlock, std::string(1000, 'b') + "\r\n") == 0)
            << "block at " << at;
    }
}
