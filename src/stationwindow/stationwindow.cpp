// SPDX-License-Identifier: GPL-3.0-or-later
#include "stationwindow/stationwindow.h"

#include <QCloseEvent>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

#include "accessibility/announcer.h"
#include "labels/labelvalues.h"
#include "ledger/ledger.h"
#include "printing/passlabel.h"
#include "printing/runlabels.h"
#include "printing/templatemaker.h"
#include "station/stationrun.h"
#include "station/stationstart.h"
#include "stationwindow/backgroundqueue.h"
#include "stationwindow/ledgerpage.h"
#include "stationwindow/runpage.h"
#include "stationwindow/setuppage.h"
#include "stationwindow/yieldpage.h"

namespace pairwick::stationwindow {

namespace {

constexpr int ListAfterTypingMs = 600;

station::SetupField fieldOf(station::StartRefusal::Cause cause) {
    switch (cause) {
        case station::StartRefusal::Cause::Rules:
            return station::SetupField::Batch;
        case station::StartRefusal::Cause::Ledger:
            return station::SetupField::Ledger;
        case station::StartRefusal::Cause::Running:
        case station::StartRefusal::Cause::Spool:
            break;
    }
    return station::SetupField::Station;
}

}  // namespace

StationWindow::StationWindow(const station::StationSetup &setup, link::TrafficLog *log,
                             QWidget *parent)
    : QMainWindow(parent),
      m_log(log),
      m_queue(new BackgroundQueue(this)),
      m_tabs(new QTabWidget(this)),
      m_setup(new SetupPage(this)),
      m_runPage(new RunPage(this)),
      m_ledger(new LedgerPage(*m_queue, this)),
      m_yield(new YieldPage(*m_queue, this)) {
    setObjectName(QStringLiteral("StationWindow"));
    setWindowTitle(tr("Pairwick 生产工位"));
    m_tabs->setObjectName(QStringLiteral("pages"));
    m_tabs->addTab(m_setup, tr("设置"));
    m_tabs->addTab(m_runPage, tr("运行"));
    m_tabs->addTab(m_ledger, tr("台账"));
    m_tabs->addTab(m_yield, tr("良率"));
    setCentralWidget(m_tabs);
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    new accessibility::Announcer(*statusBar());
    resize(1280, 720);

    m_setup->fill(setup);
    check();
    listBatches();
    // A URL being typed is asked for its batches once the typing pauses, not at every key.
    m_listSoon.setSingleShot(true);
    m_listSoon.setInterval(ListAfterTypingMs);
    connect(&m_listSoon, &QTimer::timeout, this, &StationWindow::listBatches);
    connect(m_setup, &SetupPage::changed, this, [this] {
        check();
        m_listSoon.start();
    });
    connect(m_setup, &SetupPage::startRequested, this, &StationWindow::start);
    connect(m_setup, &SetupPage::testPrintRequested, this, &StationWindow::printTestLabel);
    // A ledger of an older schema is migrated by whichever of the window's openings meets it
    // first; the status line tells how far it is.
    connect(m_queue, &BackgroundQueue::migrationProgress, statusBar(),
            [this](const QString &text) { statusBar()->showMessage(text); });
    connect(m_runPage, &RunPage::stopRequested, this, &StationWindow::stop);
    connect(m_tabs, &QTabWidget::currentChanged, this, [this] { refreshShownPage(); });
}

// The ledger's pages read only while they are looked at: at the keeper's round, and when one is
// turned to.
void StationWindow::refreshShownPage() {
    if (m_tabs->currentWidget() == m_ledger)
        m_ledger->refresh();
    else if (m_tabs->currentWidget() == m_yield)
        m_yield->refresh();
}

// A run that is still going owns threads that report here; it ends before the window does. The
// labels it left wait in their queue for the next start.
StationWindow::~StationWindow() {
    if (m_run)
        m_run->stop();
    m_run.reset();
    m_labels.reset();
}

std::optional<StationWindow::Checked> StationWindow::check() {
    const station::StationSetup setup = m_setup->setup();
    auto checked = station::checkSetup(setup);
    QList<station::SetupProblem> problems;
    if (const auto *found = std::get_if<QList<station::SetupProblem>>(&checked))
        problems = *found;
    std::optional<printing::PrintSetup> labels = printing::checkLabelSetup(setup, problems);
    m_setup->setTestPrintable(labels.has_value());
    if (labels && std::holds_alternative<station::CheckedSetup>(checked))
        labels->ledger = std::get<station::CheckedSetup>(checked).config.ledger;
    m_ledger->setLabelSetup(labels);
    m_setup->showProblems(problems);
    if (!problems.isEmpty())
        return std::nullopt;
    return Checked{std::get<station::CheckedSetup>(std::move(checked)), std::move(labels)};
}

// The batches the ledger holds already, to join one of them; asked again only for another
// ledger, and never of one that does not exist yet.
void StationWindow::listBatches() {
    const QString url = ledger::effectiveLedgerUrl(m_setup->setup().ledgerUrl);
    if (url == m_listedLedger)
        return;
    m_listedLedger = url;
    QString error;
    const std::optional<ledger::LedgerLocation> location = ledger::parseLedgerUrl(url, &error);
    if (!location)
        return;
    m_queue->readLedger(
        this, *location,
        [this](ledger::Ledger &ledger) -> std::function<void()> {
            QStringList names;
            for (const ledger::BatchSummary &batch : ledger.batches())
                names.append(batch.name);
            return [this, names] { m_setup->setBatches(names); };
        },
        // A new ledger has no batches; one that cannot be reached says so at Start.
        [](const QString &) {});
}

bool StationWindow::start() {
    if (m_run || m_starting)
        return false;
    const std::optional<Checked> checked = check();
    if (!checked)
        return false;
    m_starting = true;
    m_setup->setBusy(true);
    statusBar()->showMessage(tr("正在打开台账……"));
    auto start = std::make_shared<station::StationStart>();
    m_queue->post(this, [this, start, setup = *checked]() mutable -> std::function<void()> {
        const std::optional<station::StartRefusal> refusal = start->prepare(
            setup.station.config, setup.station.firstGiven, m_queue->migrationWatch());
        return [this, start, setup, refusal] {
            m_starting = false;
            m_setup->setBusy(false);
            if (m_closeWhenEnded) {
                close();
                return;
            }
            if (!refusal) {
                began(start, setup);
                return;
            }
            check();
            m_setup->showRefusal({fieldOf(refusal->cause), refusal->message});
            statusBar()->showMessage(tr("无法开始：%1").arg(refusal->message));
        };
    });
    return true;
}

// Printed by the window's background thread, as the labels of a run are by their own: a printer
// that does not answer holds up no screen.
void StationWindow::printTestLabel() {
    QList<station::SetupProblem> problems;
    const std::optional<printing::PrintSetup> setup =
        printing::checkLabelSetup(m_setup->setup(), problems);
    if (!setup)
        return;
    statusBar()->showMessage(tr("正在打印测试标签……"));
    m_queue->post(this, [this, print = *setup]() -> std::function<void()> {
        const labels::LabelValues sample = labels::sampleValues();
        const auto made = print.maker.make(sample);
        const printing::SendOutcome outcome =
            std::holds_alternative<QString>(made)
                ? printing::SendOutcome::misconfigured(std::get<QString>(made))
                : printing::sendLabel(print.destination,
                                      {std::get<QByteArray>(made), print.maker.kind, print.copies,
                                       sample.batch, sample.seq});
        const QString printer = print.destination.text;
        return [this, outcome, printer] {
            statusBar()->showMessage(outcome.kind == printing::SendOutcome::Kind::Sent
                                         ? tr("测试标签已送往 %1").arg(printer)
                                         : tr("测试标签未能打印：%1").arg(outcome.reason));
        };
    });
}

bool StationWindow::startLabels(const Checked &setup) {
    // The queue of the last run is this run's: one printing thread takes from it at a time.
    m_labels.reset();
    if (!setup.labels)
        return true;
    m_labels = std::make_unique<printing::RunLabels>(*setup.labels, setup.station.config.spoolFile);
    printing::RunLabels *labels = m_labels.get();
    connect(labels, &printing::RunLabels::changed, this,
            [this, labels] { m_runPage->labelsWaiting(labels->waiting(), labels->problem()); });
    connect(labels, &printing::RunLabels::labelSent, m_runPage,
            [this](const QString &, qint64 seq) { m_runPage->labelSent(seq); });
    connect(labels, &printing::RunLabels::drained, this, [this, labels] {
        if (!m_run && labels->waiting() == 0)
            statusBar()->showMessage(tr("所有标签已打印"));
    });
    QString error;
    if (labels->start(&error))
        return true;
    m_labels.reset();
    m_setup->showRefusal({station::SetupField::Printer, error});
    statusBar()->showMessage(tr("无法开始：%1").arg(error));
    return false;
}

void StationWindow::began(std::shared_ptr<station::StationStart> start, const Checked &checked) {
    const station::CheckedSetup &setup = checked.station;
    m_runPage->begin(setup.config.slotNames);
    if (!startLabels(checked)) {
        check();
        return;
    }
    m_start = std::move(start);
    m_run = std::make_unique<station::StationRun>(setup.config, m_start->spool(), m_log);
    station::StationRun *run = m_run.get();
    connect(run, &station::StationRun::slotChanged, m_runPage, &RunPage::slotChanged);
    connect(run, &station::StationRun::unitFinished, m_runPage, &RunPage::unitFinished);
    if (m_labels) {
        // The tile knows its unit's label is queued before the printer can have taken it.
        connect(run, &station::StationRun::unitFinished, m_runPage,
                [this, run](int index, const station::UnitReport &report) {
                    if (printing::passLabelValues(report, run->config()))
                        m_runPage->labelQueued(index, report.seq);
                });
        m_labels->follow(*run);
    }
    connect(run, &station::StationRun::slotAlarm, m_runPage, &RunPage::slotAlarm);
    connect(run, &station::StationRun::ledgerStatus, this,
            [this](const station::LedgerStatus &status) {
                m_runPage->ledgerStatus(status);
                refreshShownPage();
            });
    connect(run, &station::StationRun::finished, this, &StationWindow::ended, Qt::QueuedConnection);
    m_ledger->showBatch(setup.config.ledger, setup.config.batch);
    m_yield->showBatch(setup.config.ledger, setup.config.batch, setup.config.station);
    m_setup->setEnabled(false);
    m_tabs->setCurrentWidget(m_runPage);
    statusBar()->showMessage(
        tr("批次 %1 在 %2 个槽上运行").arg(setup.config.batch).arg(setup.config.slotNames.size()));
    run->start();
}

void StationWindow::stop() {
    if (!m_run)
        return;
    m_run->stop();
    m_runPage->stopping();
}

void StationWindow::ended() {
    const int waiting = m_start->spool().pendingCount();
    const bool complete = m_run->countReached();
    m_run.reset();
    m_start.reset();
    m_runPage->ended(complete);
    m_setup->setEnabled(true);
    check();
    m_ledger->refresh();
    m_yield->refresh();
    QString outcome = complete ? tr("批次已达到所要的数量，已停止") : tr("已停止");
    if (waiting > 0)
        outcome += tr("；%1 个结果尚未存入台账，将在下次开始时存入").arg(waiting);
    if (m_labels && m_labels->waiting() > 0)
        outcome +=
            tr("；%1 个标签尚未打印，将在打印机可用时或下次开始时打印").arg(m_labels->waiting());
    statusBar()->showMessage(outcome);
    emit runEnded();
    if (m_closeWhenEnded)
        close();
}

// Closing while units are in progress stops them as Stop does and closes once every slot has
// recorded its unit.
void StationWindow::closeEvent(QCloseEvent *event) {
    m_queue->stopMigration();
    if (!m_run && !m_starting) {
        event->accept();
        return;
    }
    m_closeWhenEnded = true;
    stop();
    event->ignore();
}

}  // namespace pairwick::stationwindow
