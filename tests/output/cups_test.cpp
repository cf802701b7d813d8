// The spooler back-end against a real CUPS server: the test command starts a
// private cupsd with a raw queue whose backend captures each job's bytes into
// a file, and names them in CUPS_SERVER, KX_CUPS_QUEUE and KX_CUPS_OUTPUT.
#include <gtest/gtest.h>

#include <cups/cups.h>
#include <dlfcn.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "output_test_support.h"

using namespace kxtest;

namespace {

struct CupsQueue {
    const char *queue = std::getenv("KX_CUPS_QUEUE");
    const char *output = std::getenv("KX_CUPS_OUTPUT");
    bool available() const { return queue && output && std::getenv("CUPS_SERVER"); }
};

// Waits (bounded) for job `id` to finish; returns its title, empty on timeout.
std::string wait_for_job(int id, ipp_jstate_t &state)
{
    for (int tries = 0; tries < 200; ++tries) {
        cups_job_t *jobs = nullptr;
        int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
        std::string title;
        bool done = false;
        for (int i = 0; i < n; ++i) {
            if (jobs[i].id == id) {
                state = jobs[i].state;
                title = jobs[i].title ? jobs[i].title : "";
                done = jobs[i].state >= IPP_JSTATE_CANCELED;
            }
        }
        cupsFreeJobs(n, jobs);
        if (done) return title;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return {};
}

struct CallbackModule {
    void *handle = dlopen(KX_CALLBACK_MODULE, RTLD_NOW);
    void state(int &calls, std::intptr_t &value, std::uint32_t &job) const
    {
        reinterpret_cast<void (*)(int *, std::intptr_t *, std::uint32_t *)>(dlsym(handle, "callback_module_state"))(
            &calls, &value, &job);
    }
    ~CallbackModule() { dlclose(handle); }
};

} // namespace

TEST(CupsQueue, RawJobBytesReachTheDeviceAndTheCallbackGetsTheJobId)
{
    CupsQueue q;
    if (!q.available()) GTEST_SKIP() << "no private CUPS server (run scripts/test.sh)";
    CallbackModule module;
    ASSERT_NE(module.handle, nullptr);

    struct Job {
        const char *name;
        std::uint8_t flags;
        Bytes expected;
    } jobs[] = {
        {"Directory listing", KX_PRINTER_PJL,
         concat({kUel, panel("Directory listing"), pjl("ENTER LANGUAGE = PCL"), kUel, pjl("KPRINTDIRECTORY"), kUel,
                 panel(""), kUel})},
        {nullptr, 0, {0x1B, 0x5B, 0x4B, 0x03, 0x00, 0x06, 0xC0, 0x50}},
    };
    int expected_calls = 0;
    for (const auto &j : jobs) {
        std::remove(q.output);
        KxPrinterInfo p = printer(j.flags, 5, j.name);
        ASSERT_EQ(KxGenResource(4, q.queue, &p, 1, 4242, module.handle), 0);
        int calls;
        std::intptr_t value;
        std::uint32_t id;
        module.state(calls, value, id);
        EXPECT_EQ(calls, ++expected_calls);
        EXPECT_EQ(value, 4242);
        ASSERT_GT(id, 0u);
        ipp_jstate_t state = IPP_JSTATE_PENDING;
        std::string title = wait_for_job(static_cast<int>(id), state);
        EXPECT_EQ(state, IPP_JSTATE_COMPLETED);
        EXPECT_EQ(title, j.name ? j.name : "Vantrel Job");
        EXPECT_EQ(hex(read_bytes(q.output)), hex(j.expected));
    }
}

TEST(CupsQueue, NameThatIsNoQueueIsAFile)
{
    CupsQueue q;
    if (!q.available()) GTEST_SKIP() << "no private CUPS server (run scripts/test.sh)";
    TempDir dir;
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    KxPrinterInfo p = printer(0, 5);
    ASSERT_EQ(KxGenResource(4, "not-a-queue", &p, 1, 0, nullptr), 0);
    EXPECT_EQ(read_bytes(dir.file("not-a-queue")), (Bytes{0x1B, 0x5B, 0x4B, 0x03, 0x00, 0x06, 0xC0, 0x50}));
}
