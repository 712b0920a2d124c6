// SPDX-License-Identifier: GPL-3.0-or-later
#include "stationwindow/totalspanel.h"

#include <QLabel>
#include <QVBoxLayout>

namespace pairwick::stationwindow {

namespace {

// A rate from the first minutes would jump about; it is shown once it means something.
constexpr qint64 RateAfterMs = 30000;

QLabel *totalsLabel(QWidget *parent, const QString &objectName, int pixels) {
    auto *label = new QLabel(parent);
    label->setObjectName(objectName);
    QFont font = label->font();
    font.setPixelSize(pixels);
    font.setBold(true);
    label->setFont(font);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A new figure is no reason to lay the window out again.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    return label;
}

}  // namespace

QString TotalsPanel::perHour(qint64 units, const QElapsedTimer &since) {
    const qint64 elapsed = since.isValid() ? since.elapsed() : 0;
    // Before the first pass there is nothing to measure a pace by, and "0 an hour" would read as
    // a station that stopped.
    if (units <= 0 || elapsed < RateAfterMs)
        return tr("每小时 —");
    return tr("每小时 %1 个").arg(qRound64(double(units) * 3600000 / elapsed));
}

TotalsPanel::TotalsPanel(QWidget *parent)
    : QWidget(parent),
      m_station(totalsLabel(this, QStringLiteral("stationTotals"), 20)),
      m_batch(totalsLabel(this, QStringLiteral("batchTotals"), 20)),
      m_ledger(totalsLabel(this, QStringLiteral("ledgerState"), 14)),
      m_labels(totalsLabel(this, QStringLiteral("labelState"), 14)) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_station);
    layout->addWidget(m_batch);
    layout->addWidget(m_ledger);
    layout->addWidget(m_labels);
    m_labels->hide();
    m_batch->setText(tr("整批（所有工位）：读取中……"));
    showStation();
}

void TotalsPanel::begin() {
    m_passed = 0;
    m_failed = 0;
    m_running.start();
    m_batchClock.invalidate();
    m_labels->hide();
    showStation();
}

void TotalsPanel::unitFinished(const station::UnitReport &report) {
    m_passed += report.result == ledger::AttemptResult::Passed;
    m_failed += report.result == ledger::AttemptResult::Failed ||
                report.result == ledger::AttemptResult::Interrupted;
    m_changed = true;
}

void TotalsPanel::showChanges() {
    if (std::exchange(m_changed, false))
        showStation();
}

void TotalsPanel::showStation() {
    m_station->setText(tr("本工位：通过 %1　失败 %2　%3")
                           .arg(m_passed)
                           .arg(m_failed)
                           .arg(perHour(m_passed, m_running)));
    m_station->setAccessibleName(m_station->text());
}

void TotalsPanel::ledgerStatus(const station::LedgerStatus &status) {
    // The batch's figures stay as last read while the ledger is away; the line below says so.
    if (status.reachable) {
        // Every station's pace while this one runs: what the batch gained since it was first read.
        if (!m_batchClock.isValid()) {
            m_batchClock.start();
            m_batchPassedFirst = status.batch.passed;
        }
        // Rejected units are told only in a batch that has some: most set no limit.
        const QString rejected =
            status.batch.rejected > 0 ? tr("拒收 %1　").arg(status.batch.rejected) : QString();
        m_batch->setText(tr("整批（所有工位）：已编号 %1　通过 %2　失败 %3　%4%5")
                             .arg(status.batch.units)
                             .arg(status.batch.passed)
                             .arg(status.batch.failed + status.batch.interrupted)
                             .arg(rejected)
                             .arg(perHour(status.batch.passed - m_batchPassedFirst, m_batchClock)));
    }
    m_status = status;
    m_batch->setAccessibleName(m_batch->text());
    showLedger();
    showStation();
}

void TotalsPanel::slotsWaitingForLedger(int count) {
    if (std::exchange(m_slotsWaiting, count) != count)
        showLedger();
}

void TotalsPanel::labelsWaiting(int waiting, const QString &printerProblem) {
    QString labels = tr("待打印标签 %1 个").arg(waiting);
    if (!printerProblem.isEmpty())
        labels += tr("　打印机不可用：%1").arg(printerProblem);
    m_labels->setText(labels);
    QPalette colours = m_labels->palette();
    colours.setColor(QPalette::WindowText, printerProblem.isEmpty()
                                               ? palette().color(QPalette::WindowText)
                                               : QColor(0xc6, 0x28, 0x28));
    m_labels->setPalette(colours);
    m_labels->setAccessibleName(labels);
    m_labels->show();
}

void TotalsPanel::showLedger() {
    const bool well = m_status.reachable && m_slotsWaiting == 0;
    QString ledger = !m_status.reachable ? tr("台账不可用：%1").arg(m_status.problem)
                     : well              ? tr("台账：正常")
                            : tr("台账：%1 个槽在等待台账").arg(m_slotsWaiting);
    if (m_status.spooled > 0)
        ledger += tr("　待存结果 %1 个").arg(m_status.spooled);
    m_ledger->setText(ledger);
    QPalette colours = m_ledger->palette();
    colours.setColor(QPalette::WindowText,
                     well ? palette().color(QPalette::WindowText) : QColor(0xc6, 0x28, 0x28));
    m_ledger->setPalette(colours);
    m_ledger->setAccessibleName(m_ledger->text());
}

}  // namespace pairwick::stationwindow
