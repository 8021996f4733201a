#include "market/PriceJobGuard.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace tavora::market {
namespace {

TEST(PriceJobGuard, RefusesASecondJobNamingTheRunningOneUntilTheFirstEnds) {
    PriceJobGuard guard;
    auto download = guard.tryBegin(PriceJob::Download);
    ASSERT_TRUE(download);
    EXPECT_EQ(guard.running(), PriceJob::Download);

    for (PriceJob other : {PriceJob::Download, PriceJob::Registration, PriceJob::Backup, PriceJob::Restore,
                           PriceJob::CodeImport, PriceJob::CompanionMerge}) {
        const auto refused = guard.tryBegin(other);
        EXPECT_FALSE(refused);
        EXPECT_EQ(refused.message(), "株価ダウンロードの実行中です。終了してからもう一度実行してください。");
        EXPECT_EQ(refused.english(),
                  "a price download is running; try again when it has finished"); // tavora-cli's words
    }

    // A ticket moved into a worker keeps the job; ending it there frees the guard.
    PriceJobGuard::Ticket moved = std::move(*download);
    download = framework::Failure::untranslated("moved away"); // the emptied ticket goes
    EXPECT_EQ(guard.running(), PriceJob::Download);
    moved.end();
    EXPECT_FALSE(guard.running());
    auto restore = guard.tryBegin(PriceJob::Restore);
    ASSERT_TRUE(restore);
    EXPECT_EQ(restore->job(), PriceJob::Restore);
}

TEST(PriceJobGuard, OnlyOneOfManyThreadsGetsTheJob) {
    PriceJobGuard guard;
    std::atomic<int> started{0};
    std::atomic<bool> go{false};
    std::vector<std::optional<PriceJobGuard::Ticket>> tickets(8);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < tickets.size(); ++i)
        threads.emplace_back([&, i] {
            while (!go)
                std::this_thread::yield();
            if (auto ticket = guard.tryBegin(PriceJob::Registration)) {
                tickets[i] = std::move(*ticket);
                ++started;
            }
        });
    go = true;
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(started, 1);
}

TEST(PriceJobGuard, ExcludingReadersWaitsForThemAndHoldsNewOnesBack) {
    PriceJobGuard guard;
    auto restore = guard.tryBegin(PriceJob::Restore);
    ASSERT_TRUE(restore);
    std::optional<PriceJobGuard::ReadLease> reader(guard.beginRead());
    EXPECT_EQ(guard.readers(), 1u);

    std::atomic<bool> excluded{false};
    std::atomic<bool> release{false};
    std::thread swapper([&] {
        auto noReaders = restore->excludeReaders();
        excluded = true;
        while (!release)
            std::this_thread::yield();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(excluded) << "the exclusion began while a reader still held the database";
    reader.reset();
    while (!excluded)
        std::this_thread::yield();

    std::atomic<bool> secondReaderIn{false};
    std::thread lateReader([&] {
        auto lease = guard.beginRead();
        secondReaderIn = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(secondReaderIn) << "a reader got in while the readers were excluded";
    release = true;
    swapper.join();
    lateReader.join();
    EXPECT_TRUE(secondReaderIn);
    EXPECT_EQ(guard.readers(), 0u);
}

} // namespace
} // namespace tavora::market
