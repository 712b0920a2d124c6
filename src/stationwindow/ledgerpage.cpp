// SPDX-License-Identifier: GPL-3.0-or-later
#include "stationwindow/ledgerpage.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QShortcut>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "ledger/csvtable.h"
#include "ledger/ledger.h"
#include "ledger/ledgerlisting.h"
#include "stationwindow/backgroundqueue.h"
#include "stationwindow/labelreprinter.h"
#include "stationwindow/unittablemodel.h"

namespace pairwick::stationwindow {

namespace {

// Rows a reading or a scroll asks for at once: a screenful or two.
constexpr qint64 PageRows = 200;
// A search is asked for once typing pauses this long, not at every key.
constexpr int SearchPauseMs = 200;

// The width a cell needs to show whole every text of a shape, '#' standing for any one of
// `digits`: a sample text would be cut for the wider digits it lacks.
int wholeWidth(const QTableView &table, QStringView shape, QStringView digits) {
    const QFontMetrics metrics = table.fontMetrics();
    int widestDigit = 0;
    for (const QChar digit : digits)
        widestDigit = std::max(widestDigit, metrics.horizontalAdvance(digit));
    int width = 0;
    for (const QChar character : shape)
        width += character == u'#' ? widestDigit : metrics.horizontalAdvance(character);
    // The item delegate's margin on either side of the text, and the grid line.
    const int margin = table.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &table);
    return width + 2 * (margin + 1) + 1;
}

}  // namespace

LedgerPage::LedgerPage(BackgroundQueue &queue, QWidget *parent)
    : QWidget(parent),
      m_queue(queue),
      m_units(new UnitTableModel(this)),
      m_result(new QComboBox(this)),
      m_search(new QLineEdit(this)),
      m_refresh(new QPushButton(tr("刷新"), this)),
      m_export(new QPushButton(tr("导出 CSV……"), this)),
      m_printLabels(new QPushButton(tr("打印标签……"), this)),
      m_table(new QTableView(this)),
      m_status(new QLabel(this)),
      m_searchPause(new QTimer(this)),
      m_reprinter(new LabelReprinter(queue, this)) {
    m_result->setObjectName(QStringLiteral("resultFilter"));
    m_result->setAccessibleName(tr("结果"));
    m_result->addItem(tr("全部结果"), QString());
    for (const char *result :
         {"passed", "failed", "interrupted", "rejected", "already", "started"}) {
        const QString name = QString::fromLatin1(result);
        m_result->addItem(UnitTableModel::resultWord(name), name);
    }
    m_search->setObjectName(QStringLiteral("search"));
    m_search->setPlaceholderText(tr("按编号或名称、地址的开头搜索"));
    m_search->setAccessibleName(tr("按编号或名称、地址的开头搜索"));
    m_search->setClearButtonEnabled(true);
    m_refresh->setObjectName(QStringLiteral("refreshButton"));
    m_export->setObjectName(QStringLiteral("exportButton"));
    m_printLabels->setObjectName(QStringLiteral("printLabelsButton"));
    m_printLabels->setAccessibleName(tr("打印标签"));
    m_printLabels->setAccessibleDescription(tr("重新打印所选已通过模块的标签，并记下原因"));
    m_printLabels->setEnabled(false);
    m_table->setObjectName(QStringLiteral("unitTable"));
    m_table->setAccessibleName(tr("批次的模块"));
    m_status->setObjectName(QStringLiteral("ledgerTableState"));

    m_table->setModel(m_units);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(UnitTableModel::Seq, Qt::AscendingOrder);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    // An address and a time are read whole; a name's length varies most, so it takes what is left.
    QHeaderView *header = m_table->horizontalHeader();
    header->setSectionResizeMode(UnitTableModel::Name, QHeaderView::Stretch);
    header->resizeSection(UnitTableModel::Address,
                          wholeWidth(*m_table, u"####:##:######", u"0123456789ABCDEF"));
    header->resizeSection(UnitTableModel::Time,
                          wholeWidth(*m_table, u"####-##-## ##:##:##", u"0123456789"));

    auto *tools = new QHBoxLayout;
    tools->addWidget(m_result);
    tools->addWidget(m_search, 1);
    tools->addWidget(m_refresh);
    tools->addWidget(m_export);
    tools->addWidget(m_printLabels);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_status);

    connect(m_result, &QComboBox::currentIndexChanged, this, &LedgerPage::refresh);
    m_searchPause->setSingleShot(true);
    m_searchPause->setInterval(SearchPauseMs);
    connect(m_search, &QLineEdit::textChanged, m_searchPause, qOverload<>(&QTimer::start));
    connect(m_searchPause, &QTimer::timeout, this, &LedgerPage::refresh);
    auto *find = new QShortcut(QKeySequence::Find, this, [this] {
        m_search->setFocus(Qt::ShortcutFocusReason);
        m_search->selectAll();
    });
    find->setContext(Qt::WindowShortcut);
    connect(m_refresh, &QPushButton::clicked, this, &LedgerPage::refresh);
    connect(m_export, &QPushButton::clicked, this, &LedgerPage::askExport);
    connect(m_printLabels, &QPushButton::clicked, this, &LedgerPage::askPrintLabels);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &LedgerPage::enablePrintLabels);
    connect(m_units, &QAbstractItemModel::modelReset, this, &LedgerPage::enablePrintLabels);
    connect(m_units, &UnitTableModel::orderWanted, this, &LedgerPage::refresh);
    connect(m_units, &UnitTableModel::moreWanted, this, &LedgerPage::fetch);
    connect(m_reprinter, &LabelReprinter::told, this, &LedgerPage::tellReprint);
    connect(m_reprinter, &LabelReprinter::recorded, this, &LedgerPage::refresh);
}

void LedgerPage::showBatch(const ledger::LedgerLocation &location, const QString &batch) {
    const bool same = m_location && m_location->url() == location.url() && m_batch == batch;
    m_location = location;
    m_batch = batch;
    if (!same)
        m_units->setUnits({}, true);
    refresh();
}

ledger::Selection LedgerPage::selection() const {
    ledger::Selection selection;
    selection.batch = m_batch;
    selection.state = m_result->currentData().toString();
    selection.search = m_search->text().trimmed();
    selection.order = m_units->order();
    selection.descending = m_units->descending();
    return selection;
}

void LedgerPage::refresh() {
    if (!m_location)
        return;
    if (!m_reading.begin())
        return;
    const quint64 generation = ++m_generation;
    // As many rows as are shown now, so that a refresh keeps the place scrolled to.
    ledger::Selection wanted = selection();
    wanted.limit = std::max(PageRows, qint64(m_units->rowCount()));
    m_queue.readLedger(
        this, *m_location,
        [this, wanted, generation](ledger::Ledger &ledger) -> std::function<void()> {
            QList<ledger::UnitRow> read;
            ledger.units(wanted, [&read](const ledger::UnitRow &unit) { read.append(unit); });
            const qint64 units = ledger.totals(wanted.batch).units;
            return [this, units, generation, complete = read.size() < wanted.limit,
                    read = std::move(read)]() mutable {
                if (generation == m_generation) {
                    m_units->setUnits(std::move(read), complete);
                    m_status->setText(tr("批次 %1：%2 个模块").arg(m_batch).arg(units));
                }
                readingEnded();
            };
        },
        [this](const QString &problem) {
            // What was read before stays; it is only not the latest.
            m_status->setText(tr("台账不可用：%1").arg(problem));
            readingEnded();
        });
}

void LedgerPage::fetch(qint64 offset) {
    if (!m_location)
        return;
    ledger::Selection wanted = selection();
    wanted.offset = offset;
    wanted.limit = PageRows;
    m_queue.readLedger(
        this, *m_location,
        [this, wanted, generation = m_generation](ledger::Ledger &ledger) -> std::function<void()> {
            QList<ledger::UnitRow> read;
            ledger.units(wanted, [&read](const ledger::UnitRow &unit) { read.append(unit); });
            return [this, generation, complete = read.size() < wanted.limit, read] {
                if (generation == m_generation)
                    m_units->appendUnits(read, complete);
            };
        },
        [this](const QString &problem) {
            m_status->setText(tr("台账不可用：%1").arg(problem));
            m_units->appendUnits({}, true);
        });
}

void LedgerPage::readingEnded() {
    if (m_reading.end())
        refresh();
}

void LedgerPage::exportCsv(const QString &path) {
    if (!m_location) {
        emit exported(path, tr("台账不可用：%1").arg(QString()));
        return;
    }
    m_queue.readLedger(
        this, *m_location,
        [this, path, wanted = selection()](ledger::Ledger &ledger) -> std::function<void()> {
            QSaveFile file(path);
            bool written = file.open(QIODevice::WriteOnly);
            const auto line = [&](const QStringList &cells) {
                const QByteArray bytes = ledger::csvLine(cells).toUtf8();
                written = written && file.write(bytes) == bytes.size();
            };
            line(ledger::unitColumns());
            qint64 units = 0;
            ledger.units(wanted, [&](const ledger::UnitRow &unit) {
                line(ledger::cellTexts(ledger::unitCells(unit)));
                ++units;
            });
            const QString error = written && file.commit() ? QString() : file.errorString();
            return [this, path, error, units] {
                if (error.isEmpty())
                    m_status->setText(tr("已导出 %1 个模块到 %2").arg(units).arg(path));
                emit exported(path, error);
            };
        },
        [this, path](const QString &problem) { emit exported(path, problem); });
}

void LedgerPage::askExport() {
    const QString path = QFileDialog::getSaveFileName(
        this, tr("导出 CSV"), QStringLiteral("%1.csv").arg(m_batch), tr("CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return;
    connect(
        this, &LedgerPage::exported, this,
        [this](const QString &written, const QString &error) {
            if (!error.isEmpty())
                QMessageBox::warning(this, tr("导出 CSV"),
                                     tr("无法写入 %1：%2").arg(written, error));
        },
        Qt::SingleShotConnection);
    exportCsv(path);
}

void LedgerPage::setLabelSetup(const std::optional<printing::PrintSetup> &setup) {
    m_reprinter->setSetup(setup);
    enablePrintLabels();
}

void LedgerPage::enablePrintLabels() {
    m_printLabels->setEnabled(m_reprinter->hasSetup() && m_location &&
                              m_table->selectionModel()->hasSelection());
}

void LedgerPage::askPrintLabels() {
    QList<qint64> seqs;
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    for (const QModelIndex &row : rows)
        seqs.append(m_units->unit(row.row()).seq);
    if (seqs.isEmpty())
        return;
    bool given = false;
    const QString reason = QInputDialog::getText(this, tr("打印标签"),
                                                 tr("重新打印 %1 个标签的原因：").arg(seqs.size()),
                                                 QLineEdit::Normal, QString(), &given);
    if (given)
        printLabels(seqs, reason);
}

void LedgerPage::printLabels(const QList<qint64> &seqs, const QString &reason) {
    m_printLabels->setEnabled(false);
    m_reprinter->print(m_location, m_batch, seqs, reason);
}

void LedgerPage::tellReprint(const QString &outcome) {
    m_status->setText(outcome);
    m_status->setAccessibleName(outcome);
    enablePrintLabels();
    emit labelsPrinted(outcome);
}

}  // namespace pairwick::stationwindow
