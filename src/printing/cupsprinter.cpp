// SPDX-License-Identifier: GPL-3.0-or-later
// A CUPS queue through its own commands, lpstat and lp, rather than libcups: the queue's state
// is what lpstat says to anyone, and lp leaves the job to CUPS's spool at once. ZPL goes raw, so
// that no filter turns it into a page; a PDF goes as a document for the queue's driver.
#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>

#include "printing/printerdestination.h"

namespace pairwick::printing {

namespace {

constexpr int CommandMs = 30000;

QString tr(const char *text) {
    return QCoreApplication::translate("pairwick::printing", text);
}

struct Ran {
    bool started = false;
    int status = -1;
    QString output;
};

// In the C locale, so that its words are the ones read below.
Ran run(const QString &program, const QStringList &arguments, const QByteArray &input = {}) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted())
        return {};
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(CommandMs)) {
        process.kill();
        process.waitForFinished();
        return {true, -1, tr("%1 在 %2 秒内没有结束").arg(program).arg(CommandMs / 1000)};
    }
    return {true, process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAll()).trimmed()};
}

bool unknownQueue(const QString &output) {
    return output.contains(QStringLiteral("does not exist")) ||
           output.contains(QStringLiteral("Invalid destination")) ||
           output.contains(QStringLiteral("Unknown destination"));
}

// Why the queue takes no label now, as lpstat tells it; empty when it does.
std::variant<QString, SendOutcome> queueState(const QString &queue) {
    const Ran printer =
        run(QStringLiteral("lpstat"), {QStringLiteral("-l"), QStringLiteral("-p"), queue});
    if (!printer.started)
        return SendOutcome::misconfigured(tr("无法运行 lpstat：请安装 cups-client"));
    if (printer.status != 0)
        return unknownQueue(printer.output)
                   ? SendOutcome::misconfigured(tr("CUPS 没有队列 %1").arg(queue))
                   : SendOutcome::away(tr("CUPS 队列 %1：%2").arg(queue, printer.output));
    if (printer.output.contains(QStringLiteral(" disabled")))
        return tr("CUPS 队列 %1 已停用：%2").arg(queue, printer.output.simplified());
    // The reasons a printer gives for taking no paper, as CUPS lists its alerts.
    static const QRegularExpression NoPaper(
        QStringLiteral("Alerts:.*(media-empty|media-needed|media-jam|door-open|offline)"));
    if (const auto match = NoPaper.match(printer.output); match.hasMatch())
        return tr("CUPS 队列 %1 的打印机报告 %2").arg(queue, match.captured(1));
    const Ran accepting = run(QStringLiteral("lpstat"), {QStringLiteral("-a"), queue});
    if (accepting.status != 0 || accepting.output.contains(QStringLiteral("not accepting")))
        return tr("CUPS 队列 %1 不接受作业：%2").arg(queue, accepting.output.simplified());
    return QString();
}

}  // namespace

QString checkCupsQueue(const QString &queue) {
    const auto state = queueState(queue);
    if (const auto *outcome = std::get_if<SendOutcome>(&state);
        outcome && outcome->kind == SendOutcome::Kind::Misconfigured)
        return outcome->reason;
    if (!run(QStringLiteral("lp"), {QStringLiteral("-h")}).started)
        return tr("无法运行 lp：请安装 cups-bsd 或 cups-client");
    return QString();
}

SendOutcome sendToCups(const PrinterDestination &destination, const PrintJob &job) {
    const auto state = queueState(destination.target);
    if (const auto *outcome = std::get_if<SendOutcome>(&state))
        return *outcome;
    if (const QString &away = std::get<QString>(state); !away.isEmpty())
        return SendOutcome::away(away);
    QStringList arguments{
        QStringLiteral("-d"), destination.target,
        QStringLiteral("-n"), QString::number(job.copies),
        QStringLiteral("-t"), QStringLiteral("%1-%2").arg(job.batch).arg(job.seq)};
    if (job.kind == DocumentKind::Zpl)
        arguments << QStringLiteral("-o") << QStringLiteral("raw");
    if (const auto stopped = job.handOver())
        return *stopped;
    const Ran sent = run(QStringLiteral("lp"), arguments, job.document);
    if (!sent.started)
        return SendOutcome::misconfigured(tr("无法运行 lp：请安装 cups-bsd 或 cups-client"));
    if (sent.status == 0)
        return SendOutcome::sent();
    if (unknownQueue(sent.output))
        return SendOutcome::misconfigured(tr("CUPS 没有队列 %1").arg(destination.target));
    return SendOutcome::away(
        tr("CUPS 队列 %1 没有接受标签：%2").arg(destination.target, sent.output));
}

}  // namespace pairwick::printing
