// SPDX-License-Identifier: GPL-3.0-or-later
// Measures the tool as a user meets it: start-up to the first painted window, memory after
// start-up, and, against the simulated adapter in real time, the wall and CPU time of a connect,
// a full read, a save and a factory reset, with the length of every one-second wait and the
// spacing of the lines the adapter received. Prints figures only; it judges nothing.
#include <sys/resource.h>
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>

#include "link/clock.h"
#include "link/commport.h"
#include "link/eventloopwaiter.h"
#include "recordinglauncher.h"
#include "scriptedmessageboxes.h"
#include "window/form1.h"

namespace {

QElapsedTimer processClock;

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QRegularExpression rss(QStringLiteral("VmRSS:\\s+(\\d+)"));
    return rss.match(QString::fromLatin1(status.readAll())).captured(1).toLong();
}

// The real wait, timed.
class TimingWaiter : public pairwick::link::Waiter {
public:
    bool waitOneSecond() override {
        QElapsedTimer elapsed;
        elapsed.start();
        const bool completed = m_wait.waitOneSecond();
        lengthsMs.append(double(elapsed.nsecsElapsed()) / 1e6);
        return completed;
    }
    void interrupt() override { m_wait.interrupt(); }

    QList<double> lengthsMs;

private:
    pairwick::link::EventLoopWaiter m_wait;
};

class FirstPaint : public QObject {
public:
    qint64 atMs = -1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Paint && atMs < 0)
            atMs = processClock.elapsed();
        return QObject::eventFilter(watched, event);
    }
};

struct Figures {
    QList<double> values;
    void add(double value) { values.append(value); }
    QString summary(int decimals = 1) const {
        if (values.isEmpty())
            return QStringLiteral("-");
        QList<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        return QStringLiteral("%1 / %2 / %3")
            .arg(sorted.first(), 0, 'f', decimals)
            .arg(sorted.at(sorted.size() / 2), 0, 'f', decimals)
            .arg(sorted.last(), 0, 'f', decimals);
    }
};

QList<double> receivedLineIntervalsMs(const QString &log) {
    static const QRegularExpression line(QStringLiteral("^(\\d+):(\\d+):(\\d+)\\.(\\d+) <- "),
                                         QRegularExpression::MultilineOption);
    QList<double> times;
    for (auto it = line.globalMatch(log); it.hasNext();) {
        const auto match = it.next();
        times.append(((match.captured(1).toDouble() * 60 + match.captured(2).toDouble()) * 60 +
                      match.captured(3).toDouble()) *
                         1000 +
                     match.captured(4).toDouble());
    }
    QList<double> intervals;
    for (qsizetype i = 1; i < times.size(); ++i) {
        const double interval = times.at(i) - times.at(i - 1);
        // Between operations, and across Default's settling pause, the gap is the user's.
        if (interval < 1500)
            intervals.append(interval);
    }
    return intervals;
}

}  // namespace

int main(int argc, char *argv[]) {
    processClock.start();
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: %s SIMULATOR [ROUNDS]\n", qPrintable(arguments.first()));
        return 2;
    }
    const QString simulatorPath = arguments.at(1);
    const int rounds = arguments.size() > 2 ? arguments.at(2).toInt() : 3;

    QTemporaryDir ports;
    qputenv("PAIRWICK_PORTS", ports.path().toLocal8Bit());
    pairwick::link::CommPort port;
    TimingWaiter waiter;
    pairwick::link::SystemClock clock;
    pairwick::fakes::ScriptedMessageBoxes boxes;
    pairwick::fakes::RecordingLauncher launcher;
    pairwick::window::Form1 form({port, waiter, clock, boxes, launcher});
    FirstPaint firstPaint;
    form.installEventFilter(&firstPaint);
    form.show();
    while (firstPaint.atMs < 0 && processClock.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    const qint64 startupMs = firstPaint.atMs;
    QTest::qWait(500);
    const long rssKiB = residentKiB();

    const QStringList operations{"connect", "query", "save", "default"};
    const QHash<QString, const char *> buttons{{"connect", "Command1"},
                                               {"query", "Command2"},
                                               {"save", "Command3"},
                                               {"default", "Command4"}};
    QHash<QString, Figures> wall;
    QHash<QString, Figures> cpuPercent;
    Figures waitError;
    Figures wireInterval;
    QList<double> firstQueryWaits;

    for (int round = 0; round < rounds; ++round) {
        QProcess simulator;
        simulator.start(simulatorPath,
                        {"--port", "COM1", "--ports-dir", ports.path(), "--initial-role", "1"});
        if (!simulator.waitForReadyRead(5000)) {
            std::fprintf(stderr, "the simulator did not start\n");
            return 1;
        }
        for (const QString &operation : operations) {
            auto *button = form.findChild<QAbstractButton *>(QLatin1String(buttons[operation]));
            const qsizetype waitsBefore = waiter.lengthsMs.size();
            const double cpuBefore = cpuSeconds();
            QElapsedTimer elapsed;
            elapsed.start();
            button->click();
            const double seconds = double(elapsed.nsecsElapsed()) / 1e9;
            wall[operation].add(seconds);
            cpuPercent[operation].add(100.0 * (cpuSeconds() - cpuBefore) / seconds);
            if (round == 0 && operation == u"query")
                firstQueryWaits = waiter.lengthsMs.mid(waitsBefore);
        }
        if (!boxes.texts(pairwick::fakes::ScriptedMessageBoxes::Style::Warning).isEmpty() ||
            !boxes.texts(pairwick::fakes::ScriptedMessageBoxes::Style::ContinueQuestion)
                 .isEmpty()) {
            std::fprintf(stderr, "the adapter did not answer as expected: %s\n",
                         qPrintable(boxes.texts().join(" | ")));
            return 1;
        }
        form.findChild<QAbstractButton *>(QStringLiteral("Command1"))->click();
        simulator.terminate();
        simulator.waitForFinished(5000);
        for (double interval : receivedLineIntervalsMs(QString::fromUtf8(simulator.readAll())))
            wireInterval.add(interval - 1000);
    }
    for (double length : waiter.lengthsMs)
        waitError.add(length - 1000);

    std::printf("Pairwick benchmark, %d rounds against the simulated adapter\n\n", rounds);
    std::printf("%-44s %s\n", "figure", "value (min / median / max)");
    std::printf("%-44s %lld ms\n", "start-up to first painted window", (long long)startupMs);
    std::printf("%-44s %ld KiB\n", "resident memory after start-up", rssKiB);
    const QHash<QString, QString> labels{{"connect", "connect: probe + full read"},
                                         {"query", "full read (Query)"},
                                         {"save", "save"},
                                         {"default", "factory reset + read"}};
    for (const QString &operation : operations) {
        std::printf("%-44s %s s\n", qPrintable(labels[operation] + ", wall time"),
                    qPrintable(wall[operation].summary(3)));
        std::printf("%-44s %s %%\n", qPrintable(labels[operation] + ", CPU of one core"),
                    qPrintable(cpuPercent[operation].summary(2)));
    }
    std::printf("%-44s %s ms (%lld waits)\n", "wait length - 1000 ms",
                qPrintable(waitError.summary(2)), (long long)waitError.values.size());
    std::printf("%-44s %s ms (%lld gaps)\n", "line-to-line gap at the adapter - 1000 ms",
                qPrintable(wireInterval.summary(1)), (long long)wireInterval.values.size());
    std::printf("\n8 consecutive exchanges of the first Query, each wait in ms:");
    for (double length : firstQueryWaits)
        std::printf(" %.2f", length);
    std::printf("\n");
    return 0;
}
