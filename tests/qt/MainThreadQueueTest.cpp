#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <QThread>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "app/MainThreadQueue.h"

namespace velora {
namespace {

TEST(MainThreadQueue, TasksFromOtherThreadsRunOnTheMainThreadInPostedOrder) {
    MainThreadQueue queue;
    constexpr int kPerThread = 2000;
    std::vector<int> seen[2];
    std::atomic<int> offMain{0};
    QThread* const main = QThread::currentThread();
    auto poster = [&](int which) {
        for (int i = 0; i < kPerThread; ++i) {
            queue.post([&, which, i] {
                if (QThread::currentThread() != main) ++offMain;
                seen[which].push_back(i);
            });
        }
    };
    std::thread a(poster, 0), b(poster, 1);
    a.join();
    b.join();
    EXPECT_TRUE(seen[0].empty() && seen[1].empty()) << "tasks must wait for the main loop";
    QTRY_VERIFY(seen[0].size() == kPerThread && seen[1].size() == kPerThread);
    EXPECT_EQ(offMain.load(), 0);
    for (const auto& one : seen) {
        for (int i = 0; i < kPerThread; ++i) ASSERT_EQ(one[i], i);
    }
}

TEST(MainThreadQueue, ATaskRunningANestedLoopDoesNotLetLaterTasksOvertakeEarlierOnes) {
    MainThreadQueue queue;
    std::vector<int> order;
    bool ranNested = false;
    queue.post([&] {
        order.push_back(1);
        // As a modal dialog would: the tasks queued after this one run inside the nested loop.
        ranNested = QTest::qWaitFor([&] { return order.size() == 3; }, 5000);
        order.push_back(4);
    });
    queue.post([&] { order.push_back(2); });
    queue.post([&] { order.push_back(3); });
    QTRY_VERIFY(order.size() == 4);
    EXPECT_TRUE(ranNested);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4}));
}

TEST(MainThreadQueue, TasksStillQueuedAtDestructionAreDroppedUnrun) {
    auto ran = std::make_shared<int>(0);
    {
        MainThreadQueue queue;
        std::thread([&] { queue.post([ran] { ++*ran; }); }).join();
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(*ran, 0);
    EXPECT_EQ(ran.use_count(), 1) << "the dropped task must be destroyed";
}

}  // namespace
}  // namespace velora
