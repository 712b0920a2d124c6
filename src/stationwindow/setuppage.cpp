// SPDX-License-Identifier: GPL-3.0-or-later
#include "stationwindow/setuppage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTimer>

#include "accessibility/accessibilitynames.h"
#include "ledger/ledgerlisting.h"
#include "ledger/ledgerlocation.h"
#include "printing/printoptions.h"
#include "stationwindow/slotpicker.h"

namespace pairwick::stationwindow {

using station::SetupField;

namespace {

constexpr int PortWatchMs = 2000;

// Who runs the station rarely changes between one start and the next, and is kept for it.
const QString OperatorKey = QStringLiteral("setup/operator");

QSettings rememberedFields() {
    return {QSettings::IniFormat, QSettings::UserScope, QStringLiteral("pairwick"),
            QStringLiteral("pairwick-station")};
}

QLineEdit *lineEdit(QWidget *parent, const QString &objectName) {
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    return edit;
}

}  // namespace

SetupPage::SetupPage(QWidget *parent)
    : QWidget(parent),
      m_ledger(lineEdit(this, QStringLiteral("ledger"))),
      m_batch(new QComboBox(this)),
      m_profile(lineEdit(this, QStringLiteral("profile"))),
      m_values(lineEdit(this, QStringLiteral("values"))),
      m_fields(new QPlainTextEdit(this)),
      m_first(lineEdit(this, QStringLiteral("first"))),
      m_count(lineEdit(this, QStringLiteral("count"))),
      m_station(lineEdit(this, QStringLiteral("station"))),
      m_onPass(lineEdit(this, QStringLiteral("onPass"))),
      m_timeout(lineEdit(this, QStringLiteral("timeout"))),
      m_operator(lineEdit(this, QStringLiteral("operator"))),
      m_maxAttempts(lineEdit(this, QStringLiteral("maxAttempts"))),
      m_slotAlarm(lineEdit(this, QStringLiteral("slotAlarm"))),
      m_again(new QCheckBox(tr("再次写入已通过的模块（用其记录的数值）"), this)),
      m_label(lineEdit(this, QStringLiteral("label"))),
      m_printer(lineEdit(this, QStringLiteral("printer"))),
      m_copies(new QSpinBox(this)),
      m_testPrint(new QPushButton(tr("打印测试标签"), this)),
      m_slots(new SlotPicker(this)),
      m_start(new QPushButton(tr("开始"), this)) {
    m_batch->setObjectName(QStringLiteral("batch"));
    m_batch->setEditable(true);
    m_fields->setObjectName(QStringLiteral("fields"));
    m_fields->setTabChangesFocus(true);
    m_fields->setPlaceholderText(QStringLiteral("name=Sensor-{seq:4}\npin={random:6}"));
    m_fields->setMaximumHeight(80);
    m_ledger->setPlaceholderText(ledger::effectiveLedgerUrl(QString()));
    m_first->setPlaceholderText(tr("批次的起始编号（新批次为 1）"));
    m_count->setPlaceholderText(tr("不限"));
    m_onPass->setPlaceholderText(QStringLiteral("lp-label \"$PAIRWICK_NAME\" \"$PAIRWICK_PIN\""));
    m_timeout->setText(QStringLiteral("1000"));
    m_maxAttempts->setPlaceholderText(tr("批次的上限（新批次为不限）"));
    m_slotAlarm->setText(QStringLiteral("3"));
    m_again->setObjectName(QStringLiteral("again"));
    m_printer->setPlaceholderText(tr("tcp:主机:9100、/dev/usb/lp0、cups:队列 或 dir:文件夹"));
    m_copies->setObjectName(QStringLiteral("labelCopies"));
    m_copies->setRange(1, printing::PrintOptions::MostCopies);
    m_testPrint->setObjectName(QStringLiteral("testPrintButton"));
    m_testPrint->setAccessibleName(tr("打印测试标签"));
    m_testPrint->setAccessibleDescription(tr("用虚构的示例数值向打印机打印一张标签"));
    m_testPrint->setEnabled(false);
    m_start->setObjectName(QStringLiteral("startButton"));
    m_start->setMinimumHeight(40);

    auto *form = new QFormLayout;
    addRow(*form, tr("台账："), m_ledger, SetupField::Ledger);
    addRow(*form, tr("批次："), m_batch, SetupField::Batch);
    addRow(*form, tr("配置文件："), withBrowse(m_profile, tr("配置文件 (*.json)")),
           SetupField::Profile);
    addRow(*form, tr("数值文件："), withBrowse(m_values, tr("CSV 文件 (*.csv)")),
           SetupField::Values);
    addRow(*form, tr("字段（每行一个 键=值）："), m_fields, SetupField::Fields);
    addRow(*form, tr("起始编号："), m_first, SetupField::First);
    addRow(*form, tr("数量："), m_count, SetupField::Count);
    addRow(*form, tr("工位名称："), m_station, SetupField::Station);
    addRow(*form, tr("操作员："), m_operator, SetupField::Operator);
    addRow(*form, tr("尝试次数上限："), m_maxAttempts, SetupField::MaxAttempts);
    addRow(*form, tr("通过后运行的命令："), m_onPass, std::nullopt);
    addRow(*form, tr("应答超时（毫秒）："), m_timeout, SetupField::Timeout);
    addRow(*form, tr("连续失败几个模块时提醒检查夹具（0 不提醒）："), m_slotAlarm,
           SetupField::SlotAlarm);
    form->addRow(QString(), m_again);
    addRow(*form, tr("标签模板："), withBrowse(m_label, tr("标签模板 (*.zpl *.svg)")),
           SetupField::Label);
    addRow(*form, tr("标签打印机："), m_printer, SetupField::Printer);
    auto *copies = new QWidget(this);
    auto *copiesRow = new QHBoxLayout(copies);
    copiesRow->setContentsMargins(0, 0, 0, 0);
    copiesRow->addWidget(m_copies);
    copiesRow->addStretch(1);
    copiesRow->addWidget(m_testPrint);
    copies->setFocusProxy(m_copies);
    addRow(*form, tr("每个标签的份数："), copies, std::nullopt);
    addRow(*form, tr("槽："), m_slots, SetupField::Slots);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch(1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_start);
    layout->addLayout(buttons);
    accessibility::nameFieldsByTheirLabels(*this);
    m_batch->lineEdit()->setAccessibleName(m_batch->accessibleName());

    // A bridge plugged in after the window opened shows up on its own.
    auto *portWatch = new QTimer(this);
    connect(portWatch, &QTimer::timeout, this, [this] {
        if (isEnabled())
            m_slots->listPorts();
    });
    portWatch->start(PortWatchMs);
    for (QLineEdit *edit : {m_ledger, m_profile, m_values, m_first, m_count, m_station, m_onPass,
                            m_timeout, m_operator, m_maxAttempts, m_slotAlarm, m_label, m_printer})
        connect(edit, &QLineEdit::textChanged, this, &SetupPage::changed);
    connect(m_batch, &QComboBox::currentTextChanged, this, &SetupPage::changed);
    connect(m_fields, &QPlainTextEdit::textChanged, this, &SetupPage::changed);
    connect(m_again, &QCheckBox::toggled, this, &SetupPage::changed);
    connect(m_copies, &QSpinBox::valueChanged, this, &SetupPage::changed);
    connect(m_testPrint, &QPushButton::clicked, this, &SetupPage::testPrintRequested);
    connect(m_slots, &SlotPicker::changed, this, &SetupPage::changed);
    connect(m_start, &QPushButton::clicked, this, [this] {
        rememberedFields().setValue(OperatorKey, m_operator->text().trimmed());
        emit startRequested();
    });
}

QLabel *SetupPage::problemLabel(SetupField field) {
    QLabel *&label = m_problems[field];
    if (!label) {
        label = new QLabel(this);
        label->setObjectName(QStringLiteral("problem%1").arg(int(field)));
        label->setWordWrap(true);
        QPalette colours = label->palette();
        colours.setColor(QPalette::WindowText, QColor(0xc6, 0x28, 0x28));
        label->setPalette(colours);
        label->hide();
    }
    return label;
}

void SetupPage::addRow(QFormLayout &form, const QString &caption, QWidget *field,
                       std::optional<SetupField> problemField) {
    auto *row = new QVBoxLayout;
    row->setSpacing(0);
    row->addWidget(field);
    if (problemField)
        row->addWidget(problemLabel(*problemField));
    auto *label = new QLabel(caption, this);
    // A field with a button beside it is named through the field itself.
    label->setBuddy(field->focusProxy() ? field->focusProxy() : field);
    form.addRow(label, row);
}

QWidget *SetupPage::withBrowse(QLineEdit *field, const QString &filter) {
    auto *box = new QWidget(this);
    auto *layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *browse = new QPushButton(tr("浏览……"), box);
    layout->addWidget(field, 1);
    layout->addWidget(browse);
    connect(browse, &QPushButton::clicked, this, [this, field, filter] {
        const QString path = QFileDialog::getOpenFileName(this, QString(), field->text(), filter);
        if (!path.isEmpty())
            field->setText(path);
    });
    box->setFocusProxy(field);
    return box;
}

void SetupPage::fill(const station::StationSetup &setup) {
    m_ledger->setText(setup.ledgerUrl);
    m_batch->setCurrentText(setup.batch);
    m_profile->setText(setup.profileFile);
    m_values->setText(setup.valuesFile);
    m_fields->setPlainText(setup.fields.join(u'\n'));
    m_first->setText(setup.first);
    m_count->setText(setup.count);
    m_station->setText(setup.station);
    m_onPass->setText(setup.onPass);
    m_timeout->setText(setup.timeoutMs);
    m_operator->setText(setup.operatorName.isEmpty()
                            ? rememberedFields().value(OperatorKey).toString()
                            : setup.operatorName);
    m_maxAttempts->setText(setup.maxAttempts);
    m_slotAlarm->setText(setup.slotAlarm);
    m_again->setChecked(setup.again);
    m_label->setText(setup.labelFile);
    m_printer->setText(setup.printer);
    m_copies->setValue(setup.labelCopies);
    m_slots->tick(setup.slotNames);
}

station::StationSetup SetupPage::setup() const {
    station::StationSetup setup;
    setup.ledgerUrl = m_ledger->text().trimmed();
    setup.batch = m_batch->currentText();
    setup.profileFile = m_profile->text().trimmed();
    setup.valuesFile = m_values->text().trimmed();
    for (const QString &line : m_fields->toPlainText().split(u'\n')) {
        if (!line.trimmed().isEmpty())
            setup.fields.append(line.trimmed());
    }
    setup.first = m_first->text();
    setup.count = m_count->text();
    setup.station = m_station->text();
    setup.onPass = m_onPass->text();
    setup.timeoutMs = m_timeout->text();
    setup.operatorName = m_operator->text();
    setup.maxAttempts = m_maxAttempts->text();
    setup.slotAlarm = m_slotAlarm->text();
    setup.again = m_again->isChecked();
    setup.labelFile = m_label->text().trimmed();
    setup.printer = m_printer->text().trimmed();
    setup.labelCopies = m_copies->value();
    setup.slotNames = m_slots->ticked();
    return setup;
}

void SetupPage::showProblems(const QList<station::SetupProblem> &problems) {
    for (QLabel *label : std::as_const(m_problems)) {
        label->clear();
        label->hide();
    }
    for (const station::SetupProblem &problem : problems)
        showRefusal(problem);
    m_start->setEnabled(!m_busy && problems.isEmpty());
}

void SetupPage::showRefusal(const station::SetupProblem &refusal) {
    QLabel *label = problemLabel(refusal.field);
    label->setText(label->text().isEmpty() ? refusal.message
                                           : label->text() + u'\n' + refusal.message);
    label->setAccessibleName(label->text());
    label->show();
}

void SetupPage::setBatches(const QStringList &batches) {
    const QString typed = m_batch->currentText();
    const QSignalBlocker quiet(m_batch);
    m_batch->clear();
    for (const QString &batch : batches)
        m_batch->addItem(ledger::withControlsEscaped(batch));
    m_batch->setCurrentText(typed);
}

void SetupPage::setTestPrintable(bool printable) {
    m_testPrint->setEnabled(printable && !m_busy);
}

void SetupPage::setBusy(bool busy) {
    m_busy = busy;
    m_start->setText(busy ? tr("正在开始……") : tr("开始"));
    for (QWidget *child : findChildren<QWidget *>()) {
        if (child != m_start)
            child->setEnabled(!busy);
    }
    m_start->setEnabled(false);
}

}  // namespace pairwick::stationwindow
