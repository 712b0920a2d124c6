// SPDX-License-Identifier: GPL-3.0-or-later
#include "stationwindow/yieldpage.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ledger/ledger.h"
#include "provision/attemptcodes.h"
#include "stationwindow/backgroundqueue.h"
#include "stationwindow/barchart.h"

namespace pairwick::stationwindow {

namespace {

QString percent(double share) {
    return QString::number(share * 100.0, 'f', 1) + u'%';
}

QTableWidget *figureTable(const QString &name, const QStringList &columns, QWidget *parent) {
    auto *table = new QTableWidget(0, int(columns.size()), parent);
    table->setAccessibleName(name);
    table->setHorizontalHeaderLabels(columns);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

void fill(QTableWidget *table, const QList<QStringList> &rows) {
    table->setRowCount(int(rows.size()));
    for (int row = 0; row < rows.size(); ++row)
        for (int column = 0; column < rows[row].size(); ++column)
            table->setItem(row, column, new QTableWidgetItem(rows[row][column]));
}

// A chart above its table, under one title; the screen reader is sent from the one to the other.
QGroupBox *section(const QString &title, BarChart *chart, QTableWidget *table, QWidget *parent) {
    auto *box = new QGroupBox(title, parent);
    chart->setAccessibleName(title);
    chart->setAccessibleDescription(YieldPage::tr("图表；它的数字在下面的表格里"));
    chart->setEmptyText(YieldPage::tr("还没有数字"));
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(chart);
    layout->addWidget(table, 1);
    return box;
}

QString slotLabel(const ledger::YieldGroup &group, bool wholeBatch) {
    return wholeBatch ? group.station + u' ' + group.slot : group.slot;
}

QString medianText(const ledger::YieldFigures &figures) {
    return figures.medianSeconds ? QString::number(*figures.medianSeconds, 'f', 1) : QString();
}

}  // namespace

YieldPage::YieldPage(BackgroundQueue &queue, QWidget *parent)
    : QWidget(parent),
      m_queue(queue),
      m_scope(new QComboBox(this)),
      m_refresh(new QPushButton(tr("刷新"), this)),
      m_status(new QLabel(this)),
      m_slotChart(new BarChart(this)),
      m_slotTable(figureTable(tr("各槽的首次通过率"),
                              {tr("槽"), tr("模块"), tr("首次通过"), tr("首次通过率"), tr("已通过"),
                               tr("重试"), tr("通过用时中位数（秒）")},
                              this)),
      m_hourChart(new BarChart(this)),
      m_hourTable(
          figureTable(tr("今天每小时的模块"), {tr("小时"), tr("模块"), tr("首次通过率")}, this)),
      m_failureChart(new BarChart(this)),
      m_failureTable(figureTable(tr("失败，最常见的在前"),
                                 {tr("步骤"), tr("错误"), tr("次数"), tr("占比")}, this)) {
    m_scope->setObjectName(QStringLiteral("yieldScope"));
    m_scope->setAccessibleName(tr("范围"));
    m_scope->addItem(tr("本工位"));
    m_scope->addItem(tr("整个批次"));
    m_refresh->setObjectName(QStringLiteral("yieldRefresh"));
    m_status->setObjectName(QStringLiteral("yieldState"));
    m_slotTable->setObjectName(QStringLiteral("slotYieldTable"));
    m_hourTable->setObjectName(QStringLiteral("hourTable"));
    m_failureTable->setObjectName(QStringLiteral("failureTable"));

    auto *tools = new QHBoxLayout;
    tools->addWidget(m_scope);
    tools->addWidget(m_refresh);
    tools->addWidget(m_status, 1);
    auto *sections = new QHBoxLayout;
    sections->addWidget(section(tr("各槽的首次通过率"), m_slotChart, m_slotTable, this));
    sections->addWidget(section(tr("今天每小时的模块"), m_hourChart, m_hourTable, this));
    sections->addWidget(section(tr("失败，最常见的在前"), m_failureChart, m_failureTable, this));
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addLayout(sections, 1);

    connect(m_scope, &QComboBox::currentIndexChanged, this, &YieldPage::refresh);
    connect(m_refresh, &QPushButton::clicked, this, &YieldPage::refresh);
}

void YieldPage::showBatch(const ledger::LedgerLocation &location, const QString &batch,
                          const QString &station) {
    m_location = location;
    m_batch = batch;
    m_station = station;
    // Said once: a reading at every round of the keeper would make the page blink.
    m_status->setText(tr("正在读取……"));
    refresh();
}

void YieldPage::refresh() {
    if (!m_location)
        return;
    if (!m_reading.begin())
        return;
    ledger::YieldQuery bySlot;
    bySlot.batch = m_batch;
    bySlot.station = m_scope->currentIndex() == 0 ? m_station : QString();
    bySlot.by = ledger::YieldGrouping::Slot;
    ledger::YieldQuery today = bySlot;
    today.by = ledger::YieldGrouping::Hour;
    today.since = QDateTime(QDate::currentDate().startOfDay());
    m_queue.readLedger(
        this, *m_location,
        [bySlot, today, this](ledger::Ledger &ledger) -> std::function<void()> {
            const Figures figures{ledger.yieldReport(bySlot), ledger.yieldReport(today)};
            return [this, figures] {
                show(figures);
                readingEnded();
            };
        },
        [this](const QString &problem) {
            m_status->setText(tr("无法读取台账：%1").arg(problem));
            readingEnded();
        });
}

void YieldPage::readingEnded() {
    if (m_reading.end())
        refresh();
}

void YieldPage::show(const Figures &figures) {
    const bool wholeBatch = m_scope->currentIndex() == 1;
    QList<BarChart::Bar> slotBars;
    QList<QStringList> slotRows;
    for (const ledger::YieldGroup &group : figures.bySlot.groups) {
        const ledger::YieldFigures &f = group.figures;
        slotBars.append(
            {slotLabel(group, wholeBatch), f.firstPassYield(), percent(f.firstPassYield())});
        slotRows.append({slotLabel(group, wholeBatch), QString::number(f.units),
                         QString::number(f.firstPass), percent(f.firstPassYield()),
                         QString::number(f.passed), QString::number(f.retests), medianText(f)});
    }
    m_slotChart->setBars(slotBars, 1.0);
    fill(m_slotTable, slotRows);

    QList<BarChart::Bar> hourBars;
    QList<QStringList> hourRows;
    for (const ledger::YieldGroup &group : figures.today.groups) {
        const QString hour = group.hour.toString(QStringLiteral("HH:mm"));
        hourBars.append({hour, double(group.figures.units), QString::number(group.figures.units)});
        hourRows.append(
            {hour, QString::number(group.figures.units), percent(group.figures.firstPassYield())});
    }
    m_hourChart->setBars(hourBars);
    fill(m_hourTable, hourRows);

    QList<BarChart::Bar> failureBars;
    QList<QStringList> failureRows;
    for (const ledger::FailureCount &failure : figures.bySlot.failures) {
        const QString step = provision::codes::stepText(failure.step);
        const QString error = provision::codes::errorName(failure.error);
        failureBars.append(
            {step + tr("：") + error, double(failure.count), QString::number(failure.count)});
        failureRows.append({step, error, QString::number(failure.count), percent(failure.share)});
    }
    m_failureChart->setBars(failureBars);
    fill(m_failureTable, failureRows);

    const ledger::YieldFigures &total = figures.bySlot.total;
    QString state = tr("%1 个模块，首次通过率 %2，良率 %3")
                        .arg(total.units)
                        .arg(percent(total.firstPassYield()), percent(total.yield()));
    if (figures.bySlot.mayBeStale)
        state += tr("；这些数字可能已过时，请运行 pairwick-cli ledger check");
    m_status->setText(state);
    emit shown();
}

}  // namespace pairwick::stationwindow
