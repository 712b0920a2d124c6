// SPDX-License-Identifier: GPL-3.0-or-later
#include "stationwindow/runpage.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <cmath>

#include "stationwindow/slottile.h"
#include "stationwindow/totalspanel.h"

namespace pairwick::stationwindow {

namespace {

// Sixteen slots report about 150 steps a second; drawn one by one, each would cost a paint and a
// flush to the display. Four frames a second are plenty for a step bar read from two metres.
constexpr int FrameMs = 250;

}  // namespace

RunPage::RunPage(QWidget *parent)
    : QWidget(parent),
      m_totals(new TotalsPanel(this)),
      m_runState(new QLabel(this)),
      m_stop(new QPushButton(tr("停止"), this)),
      m_grid(new QGridLayout) {
    m_runState->setObjectName(QStringLiteral("runState"));
    m_stop->setObjectName(QStringLiteral("stopButton"));
    m_stop->setToolTip(tr("每个槽在下一步结束；进行中的模块记为中断"));
    m_stop->setMinimumHeight(40);
    m_grid->setSpacing(6);
    auto *top = new QHBoxLayout;
    top->addWidget(m_totals, 1);
    auto *right = new QVBoxLayout;
    right->addWidget(m_runState);
    right->addWidget(m_stop);
    top->addLayout(right);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(top);
    layout->addLayout(m_grid, 1);
    connect(m_stop, &QPushButton::clicked, this, &RunPage::stopRequested);
    m_stop->setEnabled(false);
    m_frame.setSingleShot(true);
    m_frame.setInterval(FrameMs);
    connect(&m_frame, &QTimer::timeout, this, &RunPage::showPending);
}

void RunPage::begin(const QStringList &slotNames) {
    qDeleteAll(m_tiles);
    m_tiles.clear();
    m_frame.stop();
    m_pending = QList<QList<station::SlotEvent>>(slotNames.size());
    // As square as the slots allow: 4 a row for 16, 3 for 9, 2 for 4.
    const int columns = std::max(1, int(std::ceil(std::sqrt(double(slotNames.size())))));
    for (int index = 0; index < slotNames.size(); ++index) {
        auto *tile = new SlotTile(slotNames[index], this);
        m_grid->addWidget(tile, index / columns, index % columns);
        m_tiles.append(tile);
    }
    m_totals->begin();
    m_runState->setText(tr("运行中"));
    m_stop->setEnabled(true);
}

void RunPage::slotChanged(int index, const station::SlotEvent &event) {
    QList<station::SlotEvent> &pending = m_pending[index];
    if (!pending.isEmpty() && pending.last().state == event.state &&
        event.state == station::SlotState::Working)
        pending.last() = event;
    else
        pending.append(event);
    showSoon();
}

void RunPage::showSoon() {
    if (!m_frame.isActive())
        m_frame.start();
}

void RunPage::showPending() {
    m_totals->showChanges();
    for (int index = 0; index < m_tiles.size(); ++index) {
        for (const station::SlotEvent &event : std::as_const(m_pending[index]))
            m_tiles[index]->display(event);
        m_pending[index].clear();
    }
    // The ledger's line says what the tiles say: a slot waiting for it is news for both.
    m_totals->slotsWaitingForLedger(slotsWaitingForLedger());
}

// A result is shown by the change of state that follows its report, so the report reaches the
// tile before the tile's pending changes do.
void RunPage::unitFinished(int index, const station::UnitReport &report) {
    m_tiles.at(index)->unitFinished(report);
    m_totals->unitFinished(report);
    showSoon();
}

void RunPage::slotAlarm(const station::SlotAlarmChange &change) {
    m_tiles.at(change.slot)->alarm(change);
}

int RunPage::slotsWaitingForLedger() const {
    return int(std::count_if(m_tiles.cbegin(), m_tiles.cend(), [](const SlotTile *tile) {
        return tile->event().state == station::SlotState::LedgerAway;
    }));
}

void RunPage::ledgerStatus(const station::LedgerStatus &status) {
    m_totals->ledgerStatus(status);
}

void RunPage::labelQueued(int index, qint64 seq) {
    m_tiles.at(index)->label(seq, false);
}

void RunPage::labelSent(qint64 seq) {
    for (SlotTile *tile : std::as_const(m_tiles))
        tile->label(seq, true);
}

void RunPage::labelsWaiting(int waiting, const QString &printerProblem) {
    m_totals->labelsWaiting(waiting, printerProblem);
}

void RunPage::stopping() {
    m_runState->setText(tr("正在停止……"));
    m_stop->setEnabled(false);
}

void RunPage::ended(bool complete) {
    showPending();
    m_runState->setText(complete ? tr("批次已完成") : tr("已停止"));
    m_stop->setEnabled(false);
}

}  // namespace pairwick::stationwindow
