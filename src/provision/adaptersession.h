// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <exception>
#include <functional>

#include "settings/adaptersettings.h"

namespace pairwick::provision {

class FastExchange;

// A step the adapter did not complete: which step, and what the adapter said, as the step's
// words (with the value it wrote) and as codes with the detail that varies (attemptcodes.h).
class StepFailure : public std::exception {
public:
    StepFailure(QString step, QString stepCode, QString errorCode, QString errorDetail = QString())
        : m_step(std::move(step)),
          m_stepCode(std::move(stepCode)),
          m_errorCode(std::move(errorCode)),
          m_errorDetail(std::move(errorDetail)) {}
    const QString &step() const { return m_step; }
    const QString &stepCode() const { return m_stepCode; }
    const QString &errorCode() const { return m_errorCode; }
    const QString &errorDetail() const { return m_errorDetail; }
    // What the adapter said, worded in the program's language.
    QString detail() const;
    const char *what() const noexcept override { return "adapter step failed"; }

private:
    QString m_step;
    QString m_stepCode;
    QString m_errorCode;
    QString m_errorDetail;
};

struct WriteOutcome {
    settings::AdapterSettings settings;  // as read back, or as found when nothing was written
    QList<settings::Key> written;
    QList<settings::Key> unchanged;
};

// The headless operations on one open adapter, in the window's order of steps and without its
// questions: the first step that fails ends the operation with a StepFailure. Each operation
// expects probe() to have passed, or adoptRead() for a write.
class AdapterSession {
public:
    using Progress = std::function<void(const QString &step)>;

    AdapterSession(FastExchange &exchange, Progress progress);

    void probe();
    settings::AdapterSettings readAll();
    // Takes what a full read of this adapter found moments ago, on a session since ended, as if
    // this one had read it; instead of probe() and readAll() before a write.
    settings::AdapterSettings adoptRead(const settings::AdapterSettings &found);
    // Sends only the values that differ from the adapter's, then reads back and verifies them.
    WriteOutcome write(const settings::AdapterSettings &desired);
    // The same, for a caller that has just read the adapter and holds what it found.
    WriteOutcome writeOver(const settings::AdapterSettings &current,
                           const settings::AdapterSettings &desired);
    settings::AdapterSettings reset();

    // Every value read so far, the newest of each key. A key leaves once a write or the reset may
    // have changed it, so what remains is what the adapter holds, also after a failed step.
    const settings::AdapterSettings &settingsRead() const { return m_read; }
    // Whether a full read ended after the last write or reset.
    bool readIsComplete() const { return m_complete; }
    // Of the last write: the keys whose command the adapter answered with OK, and those whose
    // command went out without a complete answer, so whether they took effect is not known.
    const QList<settings::Key> &keysWritten() const { return m_written; }
    const QList<settings::Key> &keysSent() const { return m_sent; }
    // What was read after the last write's first command went out; empty when nothing was.
    const settings::AdapterSettings &readBack() const { return m_readBack; }
    // The code of the step under way (attemptcodes.h).
    const QString &stepCode() const { return m_stepCode; }

private:
    void begin(const QString &step, const QString &code);
    QString acknowledged(const QString &step, const QString &code, const QString &command);
    void sendSetting(settings::Key key, const QString &step, const QString &command);

    FastExchange &m_exchange;
    Progress m_progress;
    settings::AdapterSettings m_read;
    bool m_complete = false;
    QList<settings::Key> m_written;
    QList<settings::Key> m_sent;
    settings::AdapterSettings m_readBack;
    bool m_writing = false;
    QString m_stepCode;
};

// The keys of desired that a write over current sends, in the order it sends them.
QList<settings::Key> keysToWrite(const settings::AdapterSettings &current,
                                 const settings::AdapterSettings &desired);
// The role the adapter has once desired is written over current.
QString roleAfterWrite(const settings::AdapterSettings &current,
                       const settings::AdapterSettings &desired);

// The adapter's words for a message: escaped, and cut short when long.
QString quotedReply(const QString &reply);

}  // namespace pairwick::provision
