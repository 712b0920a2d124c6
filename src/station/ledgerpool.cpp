// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/ledgerpool.h"

#include <memory>

#include "ledger/ledger.h"

namespace pairwick::station {

LedgerPool::LedgerPool(const ledger::LedgerLocation &location, int connections)
    : m_location(location) {
    for (int index = 0; index < connections; ++index)
        m_threads.emplace_back([this, index] { serve(index); });
}

LedgerPool::~LedgerPool() {
    {
        const std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_wake.notify_all();
    for (std::thread &thread : m_threads)
        thread.join();
}

void LedgerPool::submit(std::function<void(ledger::Ledger &)> work,
                        std::function<void(std::exception_ptr)> fail) {
    {
        const std::lock_guard lock(m_mutex);
        m_jobs.push_back({std::move(work), std::move(fail)});
    }
    m_wake.notify_one();
}

void LedgerPool::serve(int index) {
    // Opened at the first job and again after a failure, on this thread, which owns it.
    std::unique_ptr<ledger::Ledger> connection;
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_closing || !m_jobs.empty(); });
            if (m_jobs.empty())
                return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        try {
            if (!connection) {
                connection = std::make_unique<ledger::Ledger>(
                    m_location, QStringLiteral("pairwick-ledger-%1").arg(index));
            }
            job.work(*connection);
        } catch (const ledger::LedgerError &) {
            connection.reset();
            job.fail(std::current_exception());
        } catch (...) {
            job.fail(std::current_exception());
        }
    }
}

}  // namespace pairwick::station
