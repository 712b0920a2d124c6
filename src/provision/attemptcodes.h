// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "settings/adaptersettings.h"

// The step an attempt was at and what went wrong there, as stable codes that a record keeps
// whatever the language of the program that wrote it; each display words them in its own.
namespace pairwick::provision::codes {

// Steps: "probe", "read", "read:uart", "read:KEY", "reserve", "values", "write:KEY",
// "verify:KEY", "on-pass", "reset", "other".
inline const QString ProbeStep = QStringLiteral("probe");
inline const QString ReadStep = QStringLiteral("read");
inline const QString UartReadStep = QStringLiteral("read:uart");
inline const QString ReserveStep = QStringLiteral("reserve");
inline const QString ValuesStep = QStringLiteral("values");
inline const QString OnPassStep = QStringLiteral("on-pass");
inline const QString ResetStep = QStringLiteral("reset");
inline const QString OtherStep = QStringLiteral("other");
QString readStep(settings::Key key);
QString writeStep(settings::Key key);
QString verifyStep(settings::Key key);

// Errors; the detail that varies (the reply, the port's words) goes beside them.
inline const QString NoReply = QStringLiteral("no-reply");  // detail: the timeout in ms
inline const QString NoAdapter = QStringLiteral("no-adapter");
inline const QString IncompleteReply = QStringLiteral("incomplete-reply");
inline const QString ErrorReply = QStringLiteral("error-reply");
inline const QString UnreadableReply = QStringLiteral("unreadable-reply");
inline const QString BindNeedsMaster = QStringLiteral("bind-needs-master");
inline const QString ReadBackDiffers = QStringLiteral("read-back-differs");
inline const QString ValuesProblem = QStringLiteral("values-problem");
inline const QString PortGone = QStringLiteral("port-gone");
inline const QString PortFault = QStringLiteral("port-error");
inline const QString Stopped = QStringLiteral("stopped");
inline const QString StoppedAwaitingReply = QStringLiteral("stopped-awaiting-reply");
inline const QString LedgerFault = QStringLiteral("ledger-error");
inline const QString OtherError = QStringLiteral("other");

// Every code a record may hold, for documents and checks; keyed steps as "read:KEY" and so on.
QStringList stepCodes();
QStringList errorCodes();
bool isStepCode(const QString &code);
bool isErrorCode(const QString &code);

// The wording in the program's language. An unknown code reads as itself.
QString stepText(const QString &step);
QString errorText(const QString &error, const QString &detail);
// An error's wording without its detail, as a count of failures is headed.
QString errorName(const QString &error);
// What a failure or a stop says as a whole: "write pin: the adapter answered ...".
QString failureText(const QString &step, const QString &error, const QString &detail);

}  // namespace pairwick::provision::codes
