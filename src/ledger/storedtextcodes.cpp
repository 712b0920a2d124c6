// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/storedtextcodes.h"

#include <QList>
#include <QRegularExpression>
#include <QSqlDatabase>

#include "ledger/sqlstatement.h"
#include "provision/attemptcodes.h"

namespace pairwick::ledger {

namespace codes = provision::codes;

namespace {

// The words as earlier versions wrote them, in both languages; fixed, since what is stored
// does not change when a translation does. A step's first group is a key's name, which its
// code takes in place of KEY.
struct Wording {
    Wording(const char *pattern, QString code)
        : expression(QRegularExpression::anchoredPattern(QString::fromUtf8(pattern)),
                     QRegularExpression::DotMatchesEverythingOption),
          code(std::move(code)) {}
    // Compiled once: a migration matches every failure of a year against these.
    QRegularExpression expression;
    QString code;
};

const QString Key = QStringLiteral("KEY");

const QList<Wording> &stepWordings() {
    static const QList<Wording> Wordings{
        {"探测|probe", codes::ProbeStep},
        {"读取|read", codes::ReadStep},
        {"读取波特率、校验位、停止位|read baud, parity, stop", codes::UartReadStep},
        {"(?:读取|read) (\\w+)", QStringLiteral("read:KEY")},
        {"预留编号|reserve", codes::ReserveStep},
        {"模块的值|values", codes::ValuesStep},
        {"(?:写入|write) (\\w+)(?:=.*)?", QStringLiteral("write:KEY")},
        {"(?:校验|verify) (\\w+)", QStringLiteral("verify:KEY")},
        {"运行通过后命令|running the on-pass command", codes::OnPassStep},
        {"恢复出厂设置|reset", codes::ResetStep},
    };
    return Wordings;
}

// The detail is what the pattern's groups caught, joined by " -> " where there are two.
const QList<Wording> &errorWordings() {
    static const QList<Wording> Wordings{
        {"(\\d+) 毫秒内没有回复|no reply within (\\d+) ms", codes::NoReply},
        {"没有适配器回应 AT|no adapter answers AT", codes::NoAdapter},
        {"回复不完整：(.*)|incomplete reply (.*)", codes::IncompleteReply},
        {"适配器回复 (.*)|the adapter answered (.*)", codes::ErrorReply},
        {"适配器处于从角色，不保存绑定地址；请同时设置 role=master|the adapter is in the slave "
         "role, where it keeps no bound address; set role=master with it",
         codes::BindNeedsMaster},
        {"写入 (\".*\")，读回 (\".*\")|written (\".*\"), read back (\".*\")",
         codes::ReadBackDiffers},
        {"串口设备 \\S+ 已断开或停止响应。 ?(.*)|The serial device \\S+ was disconnected or "
         "stopped responding\\. ?(.*)",
         codes::PortGone},
        {"(.*，见回复 \".*\")|(.* in \".*\")", codes::UnreadableReply},
    };
    return Wordings;
}

// The stop's words stand alone, the step named inside them.
const QList<Wording> &stopWordings() {
    static const QList<Wording> Wordings{
        {"在“.*”之前停止|stopped before .*", codes::Stopped},
        {"停止前“.*”没有得到回复|no reply to .* before the stop", codes::StoppedAwaitingReply},
    };
    return Wordings;
}

struct Placed {
    QString code;  // empty: no wording matched
    QString detail;
};

// The code of the first wording that matches, its key or detail filled in.
Placed placed(const QList<Wording> &wordings, const QString &text) {
    for (const Wording &wording : wordings) {
        const QRegularExpressionMatch match = wording.expression.match(text);
        if (!match.hasMatch())
            continue;
        QStringList caught;
        for (int group = 1; group <= match.lastCapturedIndex(); ++group) {
            if (match.capturedStart(group) >= 0)
                caught.append(match.captured(group));
        }
        if (!wording.code.endsWith(Key))
            return Placed{wording.code, caught.join(QStringLiteral(" -> "))};
        const QString code = QString(wording.code).replace(Key, caught.value(0));
        if (codes::isStepCode(code))
            return Placed{code, QString()};
    }
    return {};
}

}  // namespace

AttemptCodes codesOfStoredTexts(const QString &step, const QString &error) {
    const AttemptCodes other{codes::OtherStep, codes::OtherError, error.isEmpty() ? step : error};
    if (step.isEmpty() && error.isEmpty())
        return {};
    const QString stepCode = step.isEmpty() ? QString() : placed(stepWordings(), step).code;
    if (!step.isEmpty() && stepCode.isEmpty())
        return other;
    if (error.isEmpty())
        return AttemptCodes{stepCode, QString(), QString()};
    if (const Placed stop = placed(stopWordings(), error); !stop.code.isEmpty())
        return AttemptCodes{stepCode, stop.code, QString()};
    // A failure's words begin with its step's.
    const QString prefix = step + QStringLiteral(": ");
    if (step.isEmpty() || !error.startsWith(prefix))
        return AttemptCodes{stepCode, codes::OtherError, error};
    const QString said = error.mid(prefix.size());
    if (stepCode == codes::ValuesStep)
        return AttemptCodes{stepCode, codes::ValuesProblem, said};
    const Placed found = placed(errorWordings(), said);
    return found.code.isEmpty() ? AttemptCodes{stepCode, codes::OtherError, error}
                                : AttemptCodes{stepCode, found.code, found.detail};
}

void convertStoredTexts(const QSqlDatabase &database) {
    constexpr qint64 Page = 1000;
    QString after;
    for (;;) {
        struct Stored {
            QString id;
            AttemptCodes codes;
        };
        QList<Stored> page;
        SqlStatement query(database, QStringLiteral("SELECT id, step, error FROM attempts"
                                                    " WHERE id > :after"
                                                    " AND (step <> '' OR error <> '')"
                                                    " ORDER BY id LIMIT :page"));
        query.bind(QStringLiteral(":after"), after).bind(QStringLiteral(":page"), Page).exec();
        while (query.next())
            page.append({query.text(0), codesOfStoredTexts(query.text(1), query.text(2))});
        query.finish();
        for (const Stored &stored : page)
            SqlStatement(database, QStringLiteral("UPDATE attempts SET step = :step,"
                                                  " error = :error, detail = :detail"
                                                  " WHERE id = :id"))
                .bind(QStringLiteral(":step"), stored.codes.step)
                .bind(QStringLiteral(":error"), stored.codes.error)
                .bind(QStringLiteral(":detail"), stored.codes.detail)
                .bind(QStringLiteral(":id"), stored.id)
                .exec();
        if (page.size() < Page)
            return;
        after = page.last().id;
    }
}

}  // namespace pairwick::ledger
