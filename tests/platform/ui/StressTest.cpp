// Several threads post to each other, open and close windows, on timers of the real clock, while
// the driver reads the models and posts from its own thread. Afterwards every event that was
// posted has arrived, in order per sender, and every thread ends. Run it under ThreadSanitizer to
// see that the baton orders every access to the shared state.
#include "platform/headless/HeadlessDriver.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

namespace {

constexpr int kWorkers = 8;
constexpr int kMessage = 0x500;
constexpr int kStop = 0x5FF;

struct Book {
    std::array<int, MAX_THREADS + 1> sent{};        // by receiver
    std::array<int, MAX_THREADS + 1> received{};    // by sender
    std::array<int, MAX_THREADS + 1> lastSeq{};     // by sender
    int outOfOrder = 0;
    int dialogs = 0;
    bool stopped = false;
    uint32_t random = 0;
};

// Row t is written only by thread t while it holds the baton.
std::array<Book, MAX_THREADS + 1> books;
std::array<int, kWorkers + 1> workerThread{};
int driverSent[MAX_THREADS + 1];

uint32_t Next(Book& b)
{
    b.random = b.random * 1664525u + 1013904223u;
    return b.random >> 8;
}

// The sequence number travels in the control, the sender in the key code.
void Receive(Book& me)
{
    const Event& e = EventCurrentRecord();
    if (e.code != kMessage)
        return;
    int from = e.keyCode;
    ++me.received[static_cast<size_t>(from)];
    if (e.control != me.lastSeq[static_cast<size_t>(from)] + 1)
        ++me.outOfOrder;
    me.lastSeq[static_cast<size_t>(from)] = e.control;
}

void SendBurst(Book& me, int self)
{
    if (me.stopped)
        return;
    for (int k = 0; k < 3; ++k) {
        int to = workerThread[1 + Next(me) % kWorkers];
        Event e;
        e.code = kMessage;
        e.keyCode = self;
        e.control = me.sent[static_cast<size_t>(to)] + 1;
        if (EventPost(e, to))
            ++me.sent[static_cast<size_t>(to)];
    }
}

void Dialog(Book& me, int self, int index)
{
    ++me.dialogs;
    WindowDesc d;
    d.title = "D" + std::to_string(index);
    int w = WindowCreate(d);
    WindowOpen(w);
    EventPost(EVENT_CLOSE_WINDOW);
    while (WindowAccept(w)) {
        Receive(me);
        if (EventCurrent() == kMessage && Next(me) % 4 == 0)
            SendBurst(me, self);
        if (EventCurrent() == kStop)
            me.stopped = true;
    }
    WindowClose(w);
}

void Worker(int index)
{
    int self = ThreadCurrent();
    Book& me = books[static_cast<size_t>(self)];
    me = Book{};
    me.random = static_cast<uint32_t>(index * 7919);
    WindowDesc d;
    d.title = "W" + std::to_string(index);
    d.timer = 1;
    d.Add(Ctl::String("Zähler"));
    int w = WindowCreate(d);
    WindowOpen(w);
    int ticks = 0;
    while (WindowAccept(w)) {
        Receive(me);
        switch (EventCurrent()) {
        case EVENT_TIMER:
            SendBurst(me, self);
            PropertySet(1, Prop::Text, std::to_string(++ticks));
            if (ticks % 5 == 0 && !me.stopped)
                Dialog(me, self, index);
            break;
        case kStop:
            me.stopped = true;
            PropertySet(0, Prop::Timer, 0);
            break;
        default:
            break;
        }
    }
    WindowClose(w);
}

TEST(StressTest, ThreadsPostOpenAndCloseWithoutDeadlockOrLostEvents)
{
    HeadlessDriver::Options o;
    o.virtualClock = false;
    o.timeoutMs = 20000;
    HeadlessDriver driver(o);
    books = {};
    for (int& n : driverSent)
        n = 0;
    driver.Start([] {
        for (int i = 1; i <= kWorkers; ++i)
            workerThread[static_cast<size_t>(i)] = ThreadStart([i](const std::string&) { Worker(i); }, {}, 50000, "W");
        WindowDesc d;
        d.title = "Rahmen";
        int w = WindowCreate(d);
        WindowOpen(w);
        while (WindowAccept(w)) {
        }
        WindowClose(w);
    });

    // A bounded time of traffic; meanwhile the driver reads models and posts from outside.
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(400);
    int reads = 0;
    while (std::chrono::steady_clock::now() < until) {
        {
            Runtime::HostBaton b;
            for (int id : WindowList())
                if (WindowModel* m = WindowFind(id))
                    reads += static_cast<int>(m->controls.size());
        }
        int to = workerThread[static_cast<size_t>(1 + reads % kWorkers)];
        Event e;
        e.code = kMessage;
        e.keyCode = 0;      // from the driver
        e.control = driverSent[to] + 1;
        if (EventPost(e, to))
            ++driverSent[to];
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    for (int i = 1; i <= kWorkers; ++i)
        EventPost(kStop, 0, workerThread[static_cast<size_t>(i)]);
    driver.WaitIdle();

    int total = 0, dialogs = 0;
    for (int r = 1; r <= kWorkers; ++r) {
        int rt = workerThread[static_cast<size_t>(r)];
        const Book& rb = books[static_cast<size_t>(rt)];
        EXPECT_EQ(rb.outOfOrder, 0) << "thread " << rt;
        EXPECT_EQ(rb.received[0], driverSent[rt]) << "from the driver to " << rt;
        dialogs += rb.dialogs;
        for (int s = 1; s <= kWorkers; ++s) {
            int st = workerThread[static_cast<size_t>(s)];
            EXPECT_EQ(rb.received[static_cast<size_t>(st)], books[static_cast<size_t>(st)].sent[static_cast<size_t>(rt)])
                << st << " -> " << rt;
            total += rb.received[static_cast<size_t>(st)];
        }
    }
    EXPECT_GT(total, 0);
    EXPECT_GT(dialogs, 0);

    for (int i = 1; i <= kWorkers; ++i)
        driver.Close(driver.Window("W" + std::to_string(i)));
    driver.Close(driver.Window("Rahmen"));
    driver.WaitEnd();
}

} // namespace
