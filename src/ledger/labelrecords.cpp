// SPDX-License-Identifier: GPL-3.0-or-later
// Every label a station or a reprint sent, one row each, keyed by the id it was queued under.
#include "ledger/labelrecords.h"

#include <QCoreApplication>

#include "ledger/ledgerprivate.h"
#include "ledger/sqlstatement.h"
#include "ledger/storedforms.h"

namespace pairwick::ledger {

namespace {

// No key to the unit: a station prints once the pass is in its spool, which may reach the ledger
// after the label's row.
constexpr const char *LabelsTable = R"sql(CREATE TABLE labels (
 id TEXT PRIMARY KEY,
 batch TEXT NOT NULL,
 seq BIGINT NOT NULL,
 template_hash TEXT NOT NULL,
 printer TEXT NOT NULL,
 printed TEXT NOT NULL,
 copies BIGINT NOT NULL,
 reason TEXT NOT NULL,
 state TEXT NOT NULL,
 station TEXT NOT NULL,
 login TEXT NOT NULL DEFAULT ''))sql";

// Who recorded it is the login the server knows.
constexpr const char *RecordLabel = R"sql(
CREATE OR REPLACE FUNCTION pairwick_record_label(p_id TEXT, p_batch TEXT, p_seq BIGINT,
    p_hash TEXT, p_printer TEXT, p_printed TEXT, p_copies BIGINT, p_reason TEXT, p_state TEXT,
    p_station TEXT) RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = %schema, pg_temp AS $$
BEGIN
  INSERT INTO labels (id, batch, seq, template_hash, printer, printed, copies, reason, state,
      station, login)
    VALUES (p_id, p_batch, p_seq, p_hash, p_printer, p_printed, p_copies, p_reason, p_state,
      p_station, session_user)
    ON CONFLICT (id) DO NOTHING;
END
$$)sql";

const QString Values = QStringLiteral(
    ":id, :batch, :seq, :hash, :printer, :printed, :copies, :reason, :state, :station");

}  // namespace

QStringList labelTableStatements() {
    return {QString::fromLatin1(LabelsTable),
            QStringLiteral("CREATE INDEX labels_of_unit ON labels (batch, seq)"),
            QStringLiteral("CREATE INDEX labels_in_order ON labels (batch, printed, id)")};
}

QStringList labelServerFunctions() {
    // A function is anyone's to call until revoked; this one runs with the owner's rights.
    return {QString::fromLatin1(RecordLabel).trimmed(),
            QStringLiteral("REVOKE ALL ON FUNCTION %1 FROM PUBLIC").arg(recordLabelCall())};
}

QString recordLabelCall() {
    return QStringLiteral("pairwick_record_label");
}

void Ledger::recordLabel(const LabelRecord &label) {
    d->connection.run(
        QCoreApplication::translate("pairwick::ledger", "记录批次 %1 第 %2 号的标签")
            .arg(label.batch)
            .arg(label.seq),
        [&] {
            SqlStatement record(
                d->connection.database(),
                d->connection.isSqlite()
                    ? QStringLiteral(
                          "INSERT OR IGNORE INTO labels (id, batch, seq, template_hash,"
                          " printer, printed, copies, reason, state, station) VALUES (") +
                          Values + u')'
                    : QStringLiteral("SELECT pairwick_record_label(") + Values + u')');
            record.bind(QStringLiteral(":id"), label.id)
                .bind(QStringLiteral(":batch"), label.batch)
                .bind(QStringLiteral(":seq"), label.seq)
                .bind(QStringLiteral(":hash"), label.templateHash)
                .bind(QStringLiteral(":printer"), label.printer)
                .bind(QStringLiteral(":printed"), storedTime(label.printed))
                .bind(QStringLiteral(":copies"), qint64(label.copies))
                .bind(QStringLiteral(":reason"), label.reason)
                .bind(QStringLiteral(":state"), label.state)
                .bind(QStringLiteral(":station"), label.station)
                .exec();
            record.finish();
        });
}

}  // namespace pairwick::ledger
