// SPDX-License-Identifier: GPL-3.0-or-later
#include "stationwindow/ledgerpage.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QTableView>
#include <QVBoxLayout>

#include "ledger/csvtable.h"
#include "ledger/ledger.h"
#include "ledger/ledgerlisting.h"
#include "stationwindow/backgroundqueue.h"
#include "stationwindow/unittablemodel.h"

namespace pairwick::stationwindow {

LedgerPage::LedgerPage(BackgroundQueue &queue, QWidget *parent)
    : QWidget(parent),
      m_queue(queue),
      m_units(new UnitTableModel(this)),
      m_filter(new UnitFilter(this)),
      m_result(new QComboBox(this)),
      m_search(new QLineEdit(this)),
      m_refresh(new QPushButton(tr("刷新"), this)),
      m_export(new QPushButton(tr("导出 CSV……"), this)),
      m_table(new QTableView(this)),
      m_status(new QLabel(this)) {
    m_result->setObjectName(QStringLiteral("resultFilter"));
    m_result->setAccessibleName(tr("结果"));
    m_result->addItem(tr("全部结果"), QString());
    for (const char *result : {"passed", "failed", "interrupted", "already", "started"}) {
        const QString name = QString::fromLatin1(result);
        m_result->addItem(UnitTableModel::resultWord(name), name);
    }
    m_search->setObjectName(QStringLiteral("search"));
    m_search->setPlaceholderText(tr("按地址或名称搜索"));
    m_search->setAccessibleName(tr("按地址或名称搜索"));
    m_search->setClearButtonEnabled(true);
    m_refresh->setObjectName(QStringLiteral("refreshButton"));
    m_export->setObjectName(QStringLiteral("exportButton"));
    m_table->setObjectName(QStringLiteral("unitTable"));
    m_table->setAccessibleName(tr("批次的模块"));
    m_status->setObjectName(QStringLiteral("ledgerTableState"));

    m_filter->setSourceModel(m_units);
    m_filter->setSortRole(Qt::DisplayRole);
    m_table->setModel(m_filter);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(UnitTableModel::Seq, Qt::AscendingOrder);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);

    auto *tools = new QHBoxLayout;
    tools->addWidget(m_result);
    tools->addWidget(m_search, 1);
    tools->addWidget(m_refresh);
    tools->addWidget(m_export);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_status);

    connect(m_result, &QComboBox::currentIndexChanged, this,
            [this] { m_filter->setResult(m_result->currentData().toString()); });
    connect(m_search, &QLineEdit::textChanged, m_filter, &UnitFilter::setSearch);
    connect(m_refresh, &QPushButton::clicked, this, &LedgerPage::refresh);
    connect(m_export, &QPushButton::clicked, this, &LedgerPage::askExport);
}

void LedgerPage::showBatch(const ledger::LedgerLocation &location, const QString &batch) {
    const bool same = m_location && m_location->url() == location.url() && m_batch == batch;
    m_location = location;
    m_batch = batch;
    if (!same)
        m_units->setUnits({});
    refresh();
}

void LedgerPage::refresh() {
    if (!m_location)
        return;
    if (m_reading) {
        m_readAgain = true;
        return;
    }
    m_reading = true;
    m_queue.readLedger(
        this, *m_location,
        [this, batch = m_batch](ledger::Ledger &ledger) -> std::function<void()> {
            QList<ledger::UnitRow> read;
            ledger.units({batch, {}}, [&read](const ledger::UnitRow &unit) { read.append(unit); });
            return [this, units = std::move(read)] {
                m_units->setUnits(units);
                m_status->setText(tr("批次 %1：%2 个模块").arg(m_batch).arg(units.size()));
                readingEnded();
            };
        },
        [this](const QString &problem) {
            // What was read before stays; it is only not the latest.
            m_status->setText(tr("台账不可用：%1").arg(problem));
            readingEnded();
        });
}

void LedgerPage::readingEnded() {
    m_reading = false;
    if (std::exchange(m_readAgain, false))
        refresh();
}

bool LedgerPage::exportCsv(const QString &path, QString *error) const {
    QSaveFile file(path);
    const auto line = [&file](const QStringList &cells) {
        const QByteArray bytes = ledger::csvLine(cells).toUtf8();
        return file.write(bytes) == bytes.size();
    };
    bool written = file.open(QIODevice::WriteOnly) && line(ledger::unitColumns());
    for (int row = 0; written && row < m_filter->rowCount(); ++row)
        written = line(ledger::cellTexts(ledger::unitCells(m_filter->shownUnit(row))));
    if (!written || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

void LedgerPage::askExport() {
    const QString path = QFileDialog::getSaveFileName(
        this, tr("导出 CSV"), QStringLiteral("%1.csv").arg(m_batch), tr("CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return;
    QString error;
    if (exportCsv(path, &error))
        m_status->setText(tr("已导出 %1 个模块到 %2").arg(m_filter->rowCount()).arg(path));
    else
        QMessageBox::warning(this, tr("导出 CSV"), tr("无法写入 %1：%2").arg(path, error));
}

}  // namespace pairwick::stationwindow
