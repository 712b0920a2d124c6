// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/labelqueue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutexLocker>
#include <QUuid>
#include <algorithm>

#include "ledger/storedforms.h"
#include "printing/valuesjson.h"
#include "station/syncedfile.h"

namespace pairwick::printing {

namespace {

const QString Queued = QStringLiteral("queued");
const QString Sending = QStringLiteral("sending");
const QString Sent = QStringLiteral("sent");
const QString Uncertain = QStringLiteral("uncertain");

// Nineteen digits sort as text in the order they were given.
QString numbered(qint64 number) {
    return QStringLiteral("%1").arg(number, 19, 10, QLatin1Char('0'));
}

QByteArray labelJson(const QueuedLabel &label) {
    QJsonObject json = valuesJson(label.values);
    json.insert(QStringLiteral("id"), label.id);
    json.insert(QStringLiteral("waited"), label.waited);
    if (label.sent.isValid())
        json.insert(QStringLiteral("sent"), ledger::storedTime(label.sent));
    return QJsonDocument(json).toJson(QJsonDocument::Compact);
}

std::optional<QueuedLabel> labelFrom(const QString &file) {
    QFile content(file);
    if (!content.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QJsonObject json = QJsonDocument::fromJson(content.readAll()).object();
    QueuedLabel label;
    label.id = json.value(QStringLiteral("id")).toString();
    if (label.id.isEmpty())
        return std::nullopt;
    label.values = valuesFromJson(json);
    label.waited = json.value(QStringLiteral("waited")).toBool();
    label.sent = ledger::timeFromStored(json.value(QStringLiteral("sent")).toString());
    label.file = file;
    return label;
}

QString withState(const QString &file, const QString &state) {
    return QFileInfo(file).path() + u'/' + QFileInfo(file).completeBaseName() + u'.' + state;
}

}  // namespace

LabelQueue::LabelQueue(QString folder) : m_folder(std::move(folder)) {}

bool LabelQueue::open(QString *error) {
    QMutexLocker lock(&m_mutex);
    if (!QDir().mkpath(m_folder)) {
        *error = QCoreApplication::translate("pairwick::printing", "%1：无法创建标签队列的文件夹")
                     .arg(m_folder);
        return false;
    }
    QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDir folder(m_folder);
    for (const QString &name : folder.entryList({QStringLiteral("*.new")}, QDir::Files))
        folder.remove(name);
    QStringList kept = entries(Queued) + entries(Sent);
    for (QString &file : kept)
        file = QFileInfo(file).completeBaseName();
    for (const QString &file : entries(Sending)) {
        // Put back or sent after all, killed before the .sending file went: that one is stale.
        if (kept.contains(QFileInfo(file).completeBaseName())) {
            QFile::remove(file);
            continue;
        }
        if (!QFile::rename(file, withState(file, Uncertain))) {
            *error = QStringLiteral("%1: %2").arg(file, QFile(file).errorString());
            return false;
        }
    }
    station::syncFolder(m_folder);
    for (const QString &file : folder.entryList(QDir::Files))
        m_lastNumber = std::max(m_lastNumber, QFileInfo(file).completeBaseName().toLongLong());
    m_startNumber = m_lastNumber;
    return true;
}

bool LabelQueue::add(const labels::LabelValues &values, QString *error) {
    QMutexLocker lock(&m_mutex);
    QueuedLabel label;
    label.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    label.values = values;
    // After every label before it, this run's or an earlier one's.
    m_lastNumber = std::max(m_lastNumber + 1, QDateTime::currentMSecsSinceEpoch() * 1000);
    label.file = QStringLiteral("%1/%2.%3").arg(m_folder, numbered(m_lastNumber), Queued);
    return station::syncedReplace(label.file, labelJson(label), error);
}

std::optional<QueuedLabel> LabelQueue::oldest(QString *error) {
    QMutexLocker lock(&m_mutex);
    for (const QString &file : entries(Queued)) {
        std::optional<QueuedLabel> label = labelFrom(file);
        if (!label) {
            *error = QCoreApplication::translate("pairwick::printing",
                                                 "%1：不是本工位写的标签；请把它移走")
                         .arg(file);
            return std::nullopt;
        }
        label->waited =
            label->waited || QFileInfo(file).completeBaseName().toLongLong() <= m_startNumber;
        return label;
    }
    return std::nullopt;
}

bool LabelQueue::markSending(QueuedLabel &label, QString *error) {
    QMutexLocker lock(&m_mutex);
    return move(label, Sending, error);
}

bool LabelQueue::putBack(const QueuedLabel &label, QString *error) {
    QMutexLocker lock(&m_mutex);
    QueuedLabel waited = label;
    waited.waited = true;
    if (QFileInfo(label.file).suffix() == Sending)
        return write(waited, Queued, error);
    // Never left its place: only that it waited is new, and only the first time.
    return label.waited || station::syncedReplace(label.file, labelJson(waited), error);
}

bool LabelQueue::markSent(QueuedLabel &label, QString *error) {
    QMutexLocker lock(&m_mutex);
    label.sent = QDateTime::currentDateTimeUtc();
    return write(label, Sent, error);
}

QList<QueuedLabel> LabelQueue::toRecord(bool uncertain) const {
    QMutexLocker lock(&m_mutex);
    QList<QueuedLabel> found;
    for (const QString &file : entries(uncertain ? Uncertain : Sent)) {
        if (std::optional<QueuedLabel> label = labelFrom(file))
            found.append(*label);
    }
    return found;
}

void LabelQueue::forget(const QueuedLabel &label) {
    QMutexLocker lock(&m_mutex);
    QFile::remove(label.file);
    station::syncFolder(m_folder);
}

int LabelQueue::waiting() const {
    QMutexLocker lock(&m_mutex);
    return int(entries(Queued).size() + entries(Sending).size());
}

// The new state's file whole first, then the old one gone: a kill in between leaves both, and
// open() keeps the newer.
bool LabelQueue::write(const QueuedLabel &label, const QString &state, QString *error) {
    const QString old = label.file;
    if (!station::syncedReplace(withState(old, state), labelJson(label), error))
        return false;
    QFile::remove(old);
    station::syncFolder(m_folder);
    return true;
}

bool LabelQueue::move(QueuedLabel &label, const QString &state, QString *error) {
    const QString moved = withState(label.file, state);
    if (!QFile::rename(label.file, moved)) {
        *error = QStringLiteral("%1: %2").arg(label.file, QFile(label.file).errorString());
        return false;
    }
    station::syncFolder(m_folder);
    label.file = moved;
    return true;
}

QStringList LabelQueue::entries(const QString &state) const {
    const QDir folder(m_folder);
    QStringList files;
    for (const QString &name :
         folder.entryList({QStringLiteral("*.") + state}, QDir::Files, QDir::Name))
        files.append(folder.filePath(name));
    return files;
}

QString labelQueueFolderFor(const QString &spoolFile) {
    const QFileInfo spool(spoolFile);
    return spool.path() + u'/' + spool.completeBaseName() + QStringLiteral("-labels");
}

}  // namespace pairwick::printing
