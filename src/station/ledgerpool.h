// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <type_traits>
#include <vector>

#include "ledger/ledgerlocation.h"

namespace pairwick::ledger {
class Ledger;
}

namespace pairwick::station {

// A station's few connections to the ledger, shared by all of its slots and its keeper. A
// connection belongs to the thread that opened it, so each lives on a thread of the pool's own,
// and a slot hands its ledger work to whichever is free and waits for the answer. A station of
// sixteen slots then costs a shared server a handful of connections, not seventeen; a slot whose
// work waits on a slow server holds up only the slots queued behind it for the ledger, never a
// slot at work on its unit.
class LedgerPool {
public:
    LedgerPool(const ledger::LedgerLocation &location, int connections);
    // Ends once the work queued has been done; nothing may be queued after that.
    ~LedgerPool();
    LedgerPool(const LedgerPool &) = delete;
    LedgerPool &operator=(const LedgerPool &) = delete;

    // Runs work(ledger) on one of the pool's connections and returns what it returns. What it
    // throws (a LedgerError for a ledger that cannot be reached) is thrown here, and the
    // connection that met a LedgerError is opened anew for the next work.
    template <typename Work>
    auto run(Work work) {
        using Result = std::invoke_result_t<Work &, ledger::Ledger &>;
        std::promise<Result> answer;
        submit(
            [&work, &answer](ledger::Ledger &ledger) {
                if constexpr (std::is_void_v<Result>) {
                    work(ledger);
                    answer.set_value();
                } else {
                    answer.set_value(work(ledger));
                }
            },
            [&answer](std::exception_ptr failure) { answer.set_exception(failure); });
        return answer.get_future().get();
    }

private:
    struct Job {
        std::function<void(ledger::Ledger &)> work;
        std::function<void(std::exception_ptr)> fail;
    };
    void submit(std::function<void(ledger::Ledger &)> work,
                std::function<void(std::exception_ptr)> fail);
    void serve(int index);

    ledger::LedgerLocation m_location;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    bool m_closing = false;
    std::vector<std::thread> m_threads;
};

}  // namespace pairwick::station
