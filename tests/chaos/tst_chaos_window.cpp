// SPDX-License-Identifier: GPL-3.0-or-later
// The real window, in real time, against a simulated adapter that misbehaves at random: random
// operations, random answers to every box, and Command1 clicked at random moments. After every
// run the window must be at rest and tell the truth about the link. PAIRWICK_CHAOS_SEED and
// PAIRWICK_CHAOS_RUNS choose the run; every violation prints the command that replays it.
#include <QProgressBar>
#include <QRandomGenerator>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <map>

#include "e2eharness.h"

using Style = pairwick::fakes::ScriptedMessageBoxes::Style;

namespace {

constexpr quint32 DefaultSeed = 16;
constexpr quint32 DefaultRuns = 7;
constexpr double FaultRate = 0.15;
// A connect and a factory reset with its read take about 21 s; a click drawn later than that
// mostly lands after the run and is dropped.
constexpr quint32 ClickWindowMs = 20000;
constexpr int ClickPercent = 40;
constexpr int YesPercent = 70;
constexpr int OkPercent = 80;
// More answers than a run can ask for: a connect's read and a reset's with its own read.
constexpr int QuestionsPerRun = 24;
constexpr int ConfirmationsPerRun = 2;
// Time for a device that left at the end of a run to be noticed while the window is idle.
constexpr int SettleMs = 300;
const QString UpCaption = QStringLiteral("断开");
const QString PortClosedText = QStringLiteral("串口已关闭！");
// A connect says so once its port is open, before it sends the probe.
const QString PortOpenedText = QStringLiteral("串口已打开！");

struct Operation {
    const char *button;
    const char *name;
};
constexpr Operation Operations[] = {
    {"Command2", "query"}, {"Command3", "save"}, {"Command4", "default"}};

quint32 fromEnvironment(const char *name, quint32 fallback) {
    bool ok = false;
    const quint32 value = qEnvironmentVariable(name).toUInt(&ok);
    return ok ? value : fallback;
}

QList<bool> drawAnswers(QRandomGenerator &random, int count, quint32 percentTrue) {
    QList<bool> answers;
    for (int i = 0; i < count; ++i)
        answers.append(random.bounded(100u) < percentTrue);
    return answers;
}

bool isLossWarning(const QString &text) {
    return text.startsWith(QStringLiteral("串口设备 ")) &&
           text.contains(QStringLiteral("已断开或停止响应"));
}

}  // namespace

class TestChaosWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    // One row a run, so that a long run is not cut off by the time limit of one test function.
    void randomOperationsUnderChaos_data();
    void randomOperationsUnderChaos();
    void cleanupTestCase();

private:
    void runOnce();
    void clickCommand1();
    void tallyAnswers(Style style, const QList<bool> &drawn, const QString &yes, const QString &no);
    void check();
    void violation(const QString &what);
    QString replay() const;

    quint32 m_seed = fromEnvironment("PAIRWICK_CHAOS_SEED", DefaultSeed);
    int m_runs = int(fromEnvironment("PAIRWICK_CHAOS_RUNS", DefaultRuns));
    QRandomGenerator m_random{m_seed};
    std::unique_ptr<E2eHarness> m_harness;
    std::map<QString, int> m_counts;
    int m_run = 0;
    int m_violations = 0;
};

void TestChaosWindow::initTestCase() {
    m_harness = std::make_unique<E2eHarness>();
    QVERIFY(m_harness->startSimulator({"--chaos", QString::number(m_seed), "--chaos-rate",
                                       QString::number(FaultRate), "--initial-role", "1"}));
}

void TestChaosWindow::randomOperationsUnderChaos_data() {
    QTest::addColumn<int>("run");
    for (int run = 1; run <= m_runs; ++run)
        QTest::addRow("run %d", run) << run;
}

void TestChaosWindow::randomOperationsUnderChaos() {
    QFETCH(int, run);
    m_run = run;
    const int violationsBefore = m_violations;
    runOnce();
    QVERIFY2(m_violations == violationsBefore, qPrintable(replay()));
}

void TestChaosWindow::runOnce() {
    E2eHarness &harness = *m_harness;
    harness.boxes.clear();
    const QList<bool> questions = drawAnswers(m_random, QuestionsPerRun, YesPercent);
    const QList<bool> confirmations = drawAnswers(m_random, ConfirmationsPerRun, OkPercent);
    harness.boxes.answerQuestions(questions);
    harness.boxes.answerConfirmations(confirmations);
    const Operation &operation = Operations[m_random.bounded(3u)];
    const bool clicks = m_random.bounded(100u) < ClickPercent;
    const int clickAtMs = int(m_random.bounded(ClickWindowMs));

    QTimer click;
    click.setSingleShot(true);
    connect(&click, &QTimer::timeout, this, &TestChaosWindow::clickCommand1);
    if (clicks)
        click.start(clickAtMs);
    if (harness.caption() != UpCaption) {
        harness.click("Command1");
        ++m_counts[QStringLiteral("connects")];
    }
    harness.click(operation.button);
    click.stop();
    QTest::qWait(SettleMs);

    ++m_counts[QStringLiteral("runs: ") + QLatin1String(operation.name)];
    tallyAnswers(Style::ContinueQuestion, questions, QStringLiteral("Yes"), QStringLiteral("No"));
    tallyAnswers(Style::Confirmation, confirmations, QStringLiteral("OK"),
                 QStringLiteral("Cancel"));
    check();
}

// A user's click at a random moment: while the link is up it stops the run and disconnects;
// while the probe runs it does nothing.
void TestChaosWindow::clickCommand1() {
    E2eHarness &harness = *m_harness;
    const bool up = harness.caption() == UpCaption;
    const bool probing = !up && harness.port.isOpen();
    QStringList shown;
    const QMetaObject::Connection watch =
        connect(harness.find<QStatusBar>("StatusBar1"), &QStatusBar::messageChanged, this,
                [&shown](const QString &text) { shown.append(text); });
    harness.click("Command1");
    disconnect(watch);
    if (shown.contains(PortOpenedText))
        violation(QStringLiteral("a click during a run started a run of its own"));
    if (up) {
        ++m_counts[QStringLiteral("Command1 clicks: stopping a run")];
        if (harness.caption() == UpCaption || harness.port.isOpen())
            violation(QStringLiteral("a click on 断开 during a run left the link up"));
    } else if (probing) {
        ++m_counts[QStringLiteral("Command1 clicks: during the probe")];
        if (!harness.port.isOpen() || harness.caption() == UpCaption)
            violation(QStringLiteral("a click during the probe changed the link"));
    } else {
        ++m_counts[QStringLiteral("Command1 clicks: link already down")];
    }
}

// The scripted boxes take the drawn answers in order, one per box of that style shown.
void TestChaosWindow::tallyAnswers(Style style, const QList<bool> &drawn, const QString &yes,
                                   const QString &no) {
    const qsizetype asked = m_harness->boxes.texts(style).size();
    if (asked > drawn.size())
        violation(QStringLiteral("%1 boxes asked, more than a run can ask").arg(asked));
    for (qsizetype i = 0; i < std::min(asked, drawn.size()); ++i)
        ++m_counts[QStringLiteral("answers: ") + (drawn.at(i) ? yes : no)];
}

void TestChaosWindow::check() {
    E2eHarness &harness = *m_harness;
    if (harness.find<QProgressBar>("ProgressBar1")->isVisible())
        violation(QStringLiteral("the progress bar is still shown"));
    if (harness.status().isEmpty())
        violation(QStringLiteral("the status line is empty"));
    QStringList losses = harness.boxes.texts(Style::Warning);
    losses.removeIf([](const QString &text) { return !isLossWarning(text); });
    if (losses.size() > 1)
        violation(QStringLiteral("%1 warnings for a lost device: %2")
                      .arg(losses.size())
                      .arg(losses.join(QStringLiteral(" | "))));
    const bool up = harness.caption() == UpCaption;
    if (up != harness.port.isOpen())
        violation(QStringLiteral("Command1 reads %1 but the port is %2")
                      .arg(harness.caption(), harness.port.isOpen() ? QStringLiteral("open")
                                                                    : QStringLiteral("closed")));
    if (!up && harness.text("Text1") != PortClosedText)
        violation(QStringLiteral("the link is down but Text1 reads %1").arg(harness.text("Text1")));
    if (!harness.simulator.isRunning() || !harness.form->isVisible())
        violation(QStringLiteral("the simulator or the window is gone"));
}

void TestChaosWindow::violation(const QString &what) {
    ++m_violations;
    qWarning("VIOLATION in run %d of seed %u: %s", m_run, m_seed, qPrintable(what));
}

// The choices of runs 1 to N depend only on the seed, so the first N runs play again.
QString TestChaosWindow::replay() const {
    return QStringLiteral(
               "replay: PAIRWICK_CHAOS_SEED=%1 PAIRWICK_CHAOS_RUNS=%2 "
               "build/tests/chaos/tst_chaos_window")
        .arg(m_seed)
        .arg(m_run);
}

void TestChaosWindow::cleanupTestCase() {
    if (!m_harness)
        return;
    for (const E2eHarness::LoggedLine &line : m_harness->logged(u"chaos"))
        ++m_counts[QStringLiteral("faults injected: ") + line.text.section(u' ', 0, 0)];
    m_counts[QStringLiteral("invariant violations")] = m_violations;
    qInfo("Window chaos run: seed %u, %d runs, fault rate %g", m_seed, m_runs, FaultRate);
    for (const auto &[what, count] : m_counts)
        qInfo("  %-40s %d", qPrintable(what), count);
    m_harness.reset();
}

QTEST_MAIN(TestChaosWindow)
#include "tst_chaos_window.moc"
