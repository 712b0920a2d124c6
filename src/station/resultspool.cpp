// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/resultspool.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMutexLocker>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QUrl>

#include "ledger/ledger.h"
#include "ledger/storedforms.h"
#include "ledger/storedtextcodes.h"
#include "settings/keynames.h"
#include "settings/profile.h"
#include "station/syncedfile.h"

namespace pairwick::station {

using ledger::AttemptEnd;

namespace {

const QString Kind = QStringLiteral("kind");
const QString Id = QStringLiteral("id");

QJsonObject endJson(const AttemptEnd &end) {
    return {{Kind, QStringLiteral("end")},
            {Id, end.id},
            {QStringLiteral("ended"), ledger::storedTime(end.ended)},
            {QStringLiteral("result"), ledger::resultName(end.result)},
            {QStringLiteral("step"), end.step},
            {QStringLiteral("error"), end.error},
            {QStringLiteral("detail"), end.detail},
            {QStringLiteral("readBack"), settings::toJson(end.readBack)},
            {QStringLiteral("version"), end.version},
            {QStringLiteral("written"), settings::keyNameArray(end.written)},
            {QStringLiteral("sent"), settings::keyNameArray(end.sent)},
            {QStringLiteral("unchanged"), settings::keyNameArray(end.unchanged)}};
}

AttemptEnd endFrom(const QJsonObject &json) {
    AttemptEnd end;
    end.id = json.value(Id).toString();
    end.ended = ledger::timeFromStored(json.value(QStringLiteral("ended")).toString());
    end.result = ledger::resultFromName(json.value(QStringLiteral("result")).toString())
                     .value_or(ledger::AttemptResult::Interrupted);
    end.step = json.value(QStringLiteral("step")).toString();
    end.error = json.value(QStringLiteral("error")).toString();
    end.detail = json.value(QStringLiteral("detail")).toString();
    // Spooled by an earlier version, in words: stored as the migration stores them.
    if (!json.contains(QStringLiteral("detail"))) {
        const ledger::AttemptCodes codes = ledger::codesOfStoredTexts(end.step, end.error);
        end.step = codes.step;
        end.error = codes.error;
        end.detail = codes.detail;
    }
    end.readBack = ledger::settingsFromJson(json.value(QStringLiteral("readBack")).toObject());
    end.version = json.value(QStringLiteral("version")).toString();
    end.written = ledger::keysFromJson(json.value(QStringLiteral("written")).toArray());
    end.sent = ledger::keysFromJson(json.value(QStringLiteral("sent")).toArray());
    end.unchanged = ledger::keysFromJson(json.value(QStringLiteral("unchanged")).toArray());
    return end;
}

}  // namespace

ResultSpool::ResultSpool(QString path) : m_path(std::move(path)) {}

bool ResultSpool::load(QString *error) {
    QMutexLocker lock(&m_mutex);
    QFile file(m_path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(m_path, file.errorString());
        return false;
    }
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    if (!document.isArray()) {
        *error = QCoreApplication::translate("pairwick::station",
                                             "%1：不是本工位写的暂存文件；请把它移走后再继续")
                     .arg(m_path);
        return false;
    }
    for (const QJsonValue &entry : document.array())
        m_entries.append(entry.toObject());
    return true;
}

bool ResultSpool::addEnd(const AttemptEnd &end, QString *error) {
    return add(endJson(end), error);
}

bool ResultSpool::addOnPass(const QString &attemptId, int exitStatus, QString *error) {
    return add(
        {{Kind, QStringLiteral("onpass")}, {Id, attemptId}, {QStringLiteral("status"), exitStatus}},
        error);
}

bool ResultSpool::add(const QJsonObject &entry, QString *error) {
    QMutexLocker lock(&m_mutex);
    m_entries.append(entry);
    return saveLocked(error);
}

void ResultSpool::flush(ledger::Ledger &ledger) {
    // One flusher at a time stores every entry, also those added while it runs; the entries'
    // lock is not held across a ledger call, so no slot waits on a slow or vanished ledger to
    // spool its result.
    if (!m_flushMutex.tryLock())
        return;
    const auto unlock = qScopeGuard([this] { m_flushMutex.unlock(); });
    for (;;) {
        QJsonObject entry;
        {
            QMutexLocker lock(&m_mutex);
            if (m_entries.isEmpty())
                return;
            entry = m_entries.first();
        }
        if (entry.value(Kind).toString() == QStringLiteral("onpass"))
            ledger.recordOnPass(entry.value(Id).toString(),
                                entry.value(QStringLiteral("status")).toInt());
        else
            ledger.finishAttempt(endFrom(entry));
        // Each stored entry leaves the file at once, so a failure part-way keeps only the rest.
        // Others only append, so the first entry is still the one just stored.
        QMutexLocker lock(&m_mutex);
        m_entries.removeFirst();
        QString ignored;
        // A spool that cannot be rewritten now still holds entries the ledger has; storing
        // them again later changes nothing.
        saveLocked(&ignored);
    }
}

int ResultSpool::pendingCount() const {
    QMutexLocker lock(&m_mutex);
    return int(m_entries.size());
}

bool ResultSpool::saveLocked(QString *error) {
    if (m_entries.isEmpty())
        return QFile::remove(m_path) || !QFile::exists(m_path);
    const QFileInfo info(m_path);
    if (!QDir().mkpath(info.absolutePath())) {
        *error = QCoreApplication::translate("pairwick::station", "%1：无法创建该文件夹")
                     .arg(info.absolutePath());
        return false;
    }
    QFile::setPermissions(info.absolutePath(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QJsonArray entries;
    for (const QJsonObject &entry : m_entries)
        entries.append(entry);
    // Written aside and renamed over the old file, so a kill mid-write leaves one whole spool.
    return syncedReplace(m_path, QJsonDocument(entries).toJson(QJsonDocument::Compact), error);
}

QString spoolPathFor(const QString &station) {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty())
        state = QDir::homePath() + QStringLiteral("/.local/state");
    // A station name is free text; the file name takes it percent-encoded.
    return state + QStringLiteral("/pairwick/spool-") +
           QString::fromLatin1(QUrl::toPercentEncoding(station)) + QStringLiteral(".json");
}

}  // namespace pairwick::station
