// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <variant>

#include "ledger/ledgerlocation.h"
#include "ledger/migrationprogress.h"
#include "ledger/yieldreport.h"
#include "settings/adaptersettings.h"

class QSqlDatabase;

// The record of every unit a batch handed a number to, and of every attempt at it, in a database
// that several stations share. Numbers come from the database inside a transaction, never from a
// counter of the program's own.
namespace pairwick::ledger {

// The ledger could not do what was asked: unreachable, refused, or a schema it does not know.
class LedgerError : public std::exception {
public:
    explicit LedgerError(QString message) : m_message(std::move(message)) {}
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return "ledger error"; }

private:
    QString m_message;
};

// A unit's number was reserved and its attempt opened, but its values did not reach the
// ledger: nothing may be written to the unit, and the attempt stays open until an end for
// attemptId is stored.
class AttemptLeftOpen : public LedgerError {
public:
    AttemptLeftOpen(QString message, QString attemptId)
        : LedgerError(std::move(message)), m_attemptId(std::move(attemptId)) {}
    const QString &attemptId() const { return m_attemptId; }

private:
    QString m_attemptId;
};

// Rejected: a visit of a unit that failed as often as its batch allows, and was not written.
enum class AttemptResult { Started, Passed, Failed, Interrupted, Already, Rejected };
// "started", "passed", "failed", "interrupted", "already", "rejected": as stored and as printed.
QString resultName(AttemptResult result);
std::optional<AttemptResult> resultFromName(const QString &name);

struct UnitRecord {
    QString batch;
    qint64 seq = 0;
    QString address;
    // The unit's own values as they were given the first time its address was seen; empty when
    // they could not be formed (valuesProblem says why).
    settings::AdapterSettings values;
    QString valuesProblem;
};

// Where and when a unit passed, for "already provisioned as ...".
struct PassRecord {
    QString name;
    qint64 seq = 0;
    QString station;
    QDateTime at;
};

struct AttemptStart {
    QString id;  // a fresh UUID: the key a spooled end finds its attempt by
    QString batch;
    QString address;
    QString station;
    QString slot;
    QString device;  // the slot's stable device name where there is one
    QDateTime started;
    settings::AdapterSettings found;  // what the unit held before anything was written
    QString operatorName;             // who runs the station, as given; may be empty
};

struct Reservation {
    enum class Outcome {
        Reserved,       // an attempt is open; write the unit's values
        AlreadyPassed,  // an attempt of result "already" was recorded; write nothing
        Busy,           // another station or slot is provisioning this address right now
        CountReached,   // the batch already holds the passed units that were asked for
        Full,           // the units in progress elsewhere would complete the count: wait
        Rejected,       // failed as often as the batch allows: recorded, write nothing
    };
    Outcome outcome = Outcome::Reserved;
    UnitRecord unit;
    std::optional<PassRecord> passed;
    QString busyWith;     // "STATION SLOT" of the other attempt
    qint64 attempts = 0;  // of a rejected unit, this visit included
};

struct AttemptEnd {
    QString id;
    QDateTime ended;
    AttemptResult result = AttemptResult::Failed;
    // Of a failure or a stop, as codes (provision/attemptcodes.h), and what varies beside them:
    // the adapter's reply, the port's or the ledger's words.
    QString step;
    QString error;
    QString detail;
    // What was read after the first write went out; empty when nothing was.
    settings::AdapterSettings readBack;
    QString version;
    QList<settings::Key> written;  // answered OK
    // Sent without a complete answer: the adapter may or may not hold the new value.
    QList<settings::Key> sent;
    QList<settings::Key> unchanged;
};

struct BatchTotals {
    qint64 units = 0;  // numbers handed out
    qint64 passed = 0;
    qint64 failed = 0;
    qint64 interrupted = 0;
    qint64 rejected = 0;
    bool operator==(const BatchTotals &) const = default;
};

struct BatchSummary {
    QString name;
    qint64 first = 1;
    qint64 next = 1;
    BatchTotals totals;
    QStringList stations;
    QDateTime firstActivity;
    QDateTime lastActivity;
};

struct UnitRow {
    qint64 seq = 0;
    QString batch;
    QString name;
    QString pin;
    QString address;
    QString state;  // "passed" once an attempt passed, else the latest attempt's result
    QString station;
    QString slot;
    int attempts = 0;
    QString version;
    QDateTime first;
    QDateTime latest;
    // Of the latest attempt when it failed or was cut short, so that a listing can say what its
    // tile said (codes as in AttemptEnd); empty otherwise.
    QString step;
    QString error;
    QString detail;
    QString operatorName;  // of the latest attempt
    QList<settings::Key> written;
    QList<settings::Key> sent;
    qint64 labels = 0;  // labels recorded for it, reprints and uncertain ones included
};

// One label sent to a printer, or one that may have been: a station killed between sending it
// and recording it cannot tell.
struct LabelRecord {
    QString id;  // given when the label was queued: recording it again changes nothing
    QString batch;
    qint64 seq = 0;
    QString templateHash;  // SHA-256 of the template file, hex
    QString printer;       // as --printer gave it
    QDateTime printed;
    int copies = 1;
    QString reason;  // "pass", "reprint: WHY" or "pending after outage"
    QString state;   // "sent" or "uncertain"
    QString station;
};

struct AttemptRow {
    QString id;
    QString batch;
    qint64 seq = 0;
    QString address;
    QString station;
    QString slot;
    QString device;
    QDateTime started;
    QDateTime ended;
    QString result;
    QString step;
    QString error;
    QString detail;
    QString operatorName;
    settings::AdapterSettings found;
    settings::AdapterSettings readBack;
    QString version;
    QList<settings::Key> written;
    QList<settings::Key> sent;
    QList<settings::Key> unchanged;
    std::optional<int> onPassStatus;
};

enum class UnitOrder { Seq, Name, Address, State, Station, Slot, Attempts, Latest };

// What a listing holds. Beyond the batch and the time, the fields narrow and order units alone,
// as a table that shows a batch a page at a time asks for them.
struct Selection {
    QString batch;    // every batch when empty
    QDateTime since;  // only units and attempts active since then, when valid
    QString state;    // only units in this state, when not empty
    // Only the unit of this number, and units whose name or address holds it (an address
    // however its bytes are written apart), whatever the case.
    QString search;
    UnitOrder order = UnitOrder::Seq;  // then by batch and number
    bool descending = false;
    qint64 offset = 0;
    qint64 limit = 0;  // every one when 0
};

// One connection to the ledger. A QSqlDatabase connection belongs to the thread that opened it,
// so every thread that records opens a Ledger of its own under its own connection name.
class Ledger {
public:
    // Listing a ledger must not leave an empty one behind where none was.
    enum class Opening { CreateIfMissing, ExistingOnly };

    // Opens the database (creating an SQLite file and its folder readable by the user alone),
    // creates the schema or brings an older one up to date in one transaction. Throws LedgerError
    // for a ledger that cannot be opened or has a newer schema. The connection's name is made
    // unique from connectionName, so two Ledgers never share one by mistake.
    Ledger(const LedgerLocation &location, const QString &connectionName,
           Opening opening = Opening::CreateIfMissing);
    // The same, telling watch how a migration of the schema goes and that the opening waits for
    // another program's; a watch that throws ends the opening, and the ledger keeps its schema.
    Ledger(const LedgerLocation &location, const QString &connectionName, Opening opening,
           MigrationWatch watch);
    ~Ledger();
    Ledger(const Ledger &) = delete;
    Ledger &operator=(const Ledger &) = delete;

    const LedgerLocation &location() const { return m_location; }

    // Creates the batch with these rules, or returns the rules it already has (created tells
    // which). Comparing them is the caller's business.
    QJsonObject joinBatch(const QString &batch, const QJsonObject &rules, qint64 first,
                          bool *created);
    std::optional<QJsonObject> batchRules(const QString &batch);

    using ValuesFor = std::function<std::variant<settings::AdapterSettings, QString>(qint64 seq)>;
    // In one transaction: looks the address up in the batch, reserves the next number for a new
    // one together with valuesFor(number), and opens an attempt. An address that already passed
    // gets an attempt of result "already" unless again is set; one that another station or slot
    // is provisioning (an unfinished attempt younger than ten minutes) is Busy; a batch whose
    // passed units reach countLimit (when above 0) reserves nothing new. Throws AttemptLeftOpen
    // where the number was reserved but the values could not be stored after it.
    Reservation beginAttempt(const AttemptStart &start, bool again, qint64 countLimit,
                             const ValuesFor &valuesFor);
    // Closes an open attempt. Storing the same end twice changes nothing, so a spooled end can be
    // replayed whether or not it was stored before.
    void finishAttempt(const AttemptEnd &end);
    void recordOnPass(const QString &attemptId, int exitStatus);
    // Keeps a label's row; a row of the same id already there stays as it is.
    void recordLabel(const LabelRecord &label);
    // The station's own attempts that never finished (it was killed) become interrupted.
    int markInterrupted(const QString &station);

    // As kept with the records: the same cost whatever the batch holds.
    BatchTotals totals(const QString &batch);
    QList<BatchSummary> batches();
    // Each row as the database gives it, in the selection's order (attempts: of batch and
    // start), a page of rows at most held at once. each runs on this connection's thread and
    // must not use this Ledger.
    void units(const Selection &selection, const std::function<void(const UnitRow &)> &each);
    void attempts(const Selection &selection, const std::function<void(const AttemptRow &)> &each);
    // Of the batch and since the selection's, in the order they were printed.
    void labels(const Selection &selection, const std::function<void(const LabelRecord &)> &each);

    // The line's yield from the rollups kept beside the records: the same few grouped sums
    // whatever the batch holds.
    YieldReport yieldReport(const YieldQuery &query);

    // Counts everything again from the attempts and tells each way in which what is kept, or
    // the records themselves, disagree; returns how many there were.
    qint64 check(const std::function<void(const QString &disagreement)> &disagreement);

    // PostgreSQL: runs rolesStatements() (ledgerroles.h) in one transaction. Throws LedgerError
    // when the login does not own the ledger.
    void applyRoles();

private:
    class Private;
    LedgerLocation m_location;
    std::unique_ptr<Private> d;
};

}  // namespace pairwick::ledger
