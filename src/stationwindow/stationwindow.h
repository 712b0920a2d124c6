// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <memory>

#include "printing/labelprinter.h"
#include "station/stationsetup.h"

class QTabWidget;

namespace pairwick::link {
class TrafficLog;
}
namespace pairwick::printing {
class RunLabels;
}
namespace pairwick::station {
class StationRun;
class StationStart;
}  // namespace pairwick::station

namespace pairwick::stationwindow {

class BackgroundQueue;
class LedgerPage;
class YieldPage;
class RunPage;
class SetupPage;

// The production station for an operator: set a run up, watch its slots, read its ledger. The
// station itself is the engine's; this window only shows it and passes on Start and Stop.
class StationWindow final : public QMainWindow {
    Q_OBJECT

public:
    StationWindow(const station::StationSetup &setup, link::TrafficLog *log,
                  QWidget *parent = nullptr);
    ~StationWindow() override;

    // What Start does; false when a field has a problem.
    bool start();
    void stop();
    bool isRunning() const { return m_run != nullptr; }

    SetupPage &setupPage() { return *m_setup; }
    RunPage &runPage() { return *m_runPage; }
    LedgerPage &ledgerPage() { return *m_ledger; }
    YieldPage &yieldPage() { return *m_yield; }

signals:
    void runEnded();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    struct Checked {
        station::CheckedSetup station;
        std::optional<printing::PrintSetup> labels;
    };

    std::optional<Checked> check();
    void refreshShownPage();
    void listBatches();
    void began(std::shared_ptr<station::StationStart> start, const Checked &setup);
    // False, with the refusal shown, when the label queue cannot be used.
    bool startLabels(const Checked &setup);
    void printTestLabel();
    void ended();

    link::TrafficLog *m_log;
    BackgroundQueue *m_queue;
    QTabWidget *m_tabs;
    SetupPage *m_setup;
    RunPage *m_runPage;
    LedgerPage *m_ledger;
    YieldPage *m_yield;
    std::shared_ptr<station::StationStart> m_start;
    std::unique_ptr<station::StationRun> m_run;
    // Outlives its run: the labels that wait go on printing until the next start or the close.
    std::unique_ptr<printing::RunLabels> m_labels;
    QString m_listedLedger;
    QTimer m_listSoon;
    bool m_starting = false;
    bool m_closeWhenEnded = false;
};

}  // namespace pairwick::stationwindow
