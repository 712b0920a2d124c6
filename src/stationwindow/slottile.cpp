// SPDX-License-Identifier: GPL-3.0-or-later
#include "stationwindow/slottile.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <algorithm>

#include "accessibility/announcer.h"

namespace pairwick::stationwindow {

using station::SlotState;

namespace {

// The size the type is drawn for: sixteen tiles on a 1366x768 screen.
constexpr double DesignWidth = 320;
constexpr double DesignHeight = 125;

bool isResult(SlotState state) {
    return state == SlotState::Passed || state == SlotState::Failed ||
           state == SlotState::Already || state == SlotState::Interrupted;
}

QLabel *tileLabel(QWidget *parent, const QString &objectName) {
    auto *label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

}  // namespace

SlotTile::SlotTile(const QString &slot, QWidget *parent)
    : QFrame(parent),
      m_slot(slot),
      m_slotLabel(tileLabel(this, QStringLiteral("slotLabel"))),
      m_stateLabel(tileLabel(this, QStringLiteral("stateLabel"))),
      m_mainLabel(tileLabel(this, QStringLiteral("mainLabel"))),
      m_detailLabel(tileLabel(this, QStringLiteral("detailLabel"))),
      m_progress(new QProgressBar(this)),
      m_removalLabel(tileLabel(this, QStringLiteral("removalLabel"))),
      m_announcer(new accessibility::Announcer(*this)) {
    setObjectName(QStringLiteral("tile-%1").arg(slot));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    setMinimumSize(200, 100);
    m_slotLabel->setWordWrap(false);
    m_stateLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setTextVisible(false);
    m_progress->setMaximumHeight(10);
    m_removalLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_removalLabel->setWordWrap(false);
    auto *top = new QHBoxLayout;
    top->addWidget(m_slotLabel, 1);
    top->addWidget(m_stateLabel);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_detailLabel, 1);
    bottom->addWidget(m_removalLabel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 2, 8, 4);
    layout->setSpacing(0);
    layout->addLayout(top);
    layout->addWidget(m_mainLabel, 1);
    layout->addWidget(m_progress);
    layout->addLayout(bottom);
    showFacts();
}

QColor SlotTile::colourOf(SlotState state) {
    switch (state) {
        case SlotState::Working:
            return QColor(0x15, 0x65, 0xc0);
        case SlotState::Passed:
            return QColor(0x2e, 0x7d, 0x32);
        case SlotState::Failed:
        case SlotState::Interrupted:
            return QColor(0xc6, 0x28, 0x28);
        case SlotState::Already:
            return QColor(0xff, 0xb3, 0x00);
        case SlotState::Waiting:
        case SlotState::Problem:
        case SlotState::LedgerAway:
        case SlotState::Finished:
            break;
    }
    return QColor(0x5f, 0x63, 0x68);
}

QString SlotTile::wordOf(SlotState state) {
    switch (state) {
        case SlotState::Waiting:
            return tr("等待");
        case SlotState::Problem:
            return tr("无法使用");
        case SlotState::Working:
            return tr("进行中");
        case SlotState::Passed:
            return tr("通过");
        case SlotState::Failed:
            return tr("失败");
        case SlotState::Already:
            return tr("已配置过");
        case SlotState::Interrupted:
            return tr("中断");
        case SlotState::LedgerAway:
            return tr("台账不可用");
        case SlotState::Finished:
            break;
    }
    return tr("已停止");
}

void SlotTile::unitFinished(const station::UnitReport &report) {
    m_report = report;
}

void SlotTile::display(const station::SlotEvent &event) {
    // A step is progress within a state; a new state, a number becoming known or the unit taken
    // out is news worth telling.
    const bool news = event.state != m_event.state || event.seq != m_event.seq ||
                      event.awaitingRemoval != m_event.awaitingRemoval ||
                      (event.state != SlotState::Working && event.text != m_event.text);
    m_event = event;
    showFacts();
    if (!news)
        return;
    if (event.state == SlotState::Failed && event.awaitingRemoval)
        QApplication::beep();
    m_announcer->announce(summary());
}

QString SlotTile::summary() const {
    QStringList parts{m_slotLabel->text(), wordOf(m_event.state)};
    parts.append(m_mainLabel->text().replace(u'\n', u' '));
    parts.append(m_detailLabel->text());
    if (m_event.awaitingRemoval)
        parts.append(m_removalLabel->text());
    parts.removeAll(QString());
    return parts.join(tr("，"));
}

void SlotTile::showFacts() {
    const SlotState state = m_event.state;
    QString main;
    QString detail = m_event.text;
    if (state == SlotState::Passed) {
        main = QStringLiteral("%1\nPIN %2")
                   .arg(m_report.settings.value(settings::Key::Name),
                        m_report.settings.value(settings::Key::Pin));
        detail = m_report.onPassWarning;
    } else if (isResult(state) || state == SlotState::Problem) {
        // The reason, in the adapter's words, where the name would stand.
        main = m_event.text;
        detail.clear();
    }
    m_slotLabel->setText(m_event.seq > 0 && state != SlotState::Waiting
                             ? QStringLiteral("%1  #%2").arg(m_slot).arg(m_event.seq)
                             : m_slot);
    m_stateLabel->setText(wordOf(state));
    m_mainLabel->setText(main);
    m_mainLabel->setVisible(!main.isEmpty());
    m_detailLabel->setText(detail);
    m_detailLabel->setVisible(!detail.isEmpty());
    m_progress->setVisible(state == SlotState::Working);
    m_progress->setRange(0, std::max(1, m_event.stepsAll));
    m_progress->setValue(m_event.stepsDone);
    m_removalLabel->setText(m_event.awaitingRemoval ? tr("请取出模块") : QString());
    m_removalLabel->setVisible(m_event.awaitingRemoval);

    const QColor background = colourOf(state);
    if (palette().color(QPalette::Window) != background) {
        QPalette colours = palette();
        colours.setColor(QPalette::Window, background);
        colours.setColor(QPalette::WindowText,
                         qGray(background.rgb()) > 150 ? Qt::black : Qt::white);
        setPalette(colours);
    }
    setAccessibleName(tr("槽 %1").arg(m_slot));
    setAccessibleDescription(summary());
    scaleFonts();
}

void SlotTile::scaleFonts() {
    const double scale =
        std::clamp(std::min(width() / DesignWidth, height() / DesignHeight), 0.8, 3.0);
    const auto sized = [this, scale](QLabel *label, double pixels, bool bold) {
        QFont font = this->font();
        font.setPixelSize(int(pixels * scale));
        font.setBold(bold);
        // A step changes no size; setting the same font again would lay the tile out anew.
        if (label->font() != font)
            label->setFont(font);
    };
    sized(m_slotLabel, 16, true);
    sized(m_stateLabel, 24, true);
    const bool passed = m_event.state == SlotState::Passed;
    sized(m_mainLabel, passed ? 22 : 16, passed);
    sized(m_detailLabel, 15, false);
    sized(m_removalLabel, 17, true);
}

void SlotTile::resizeEvent(QResizeEvent *event) {
    QFrame::resizeEvent(event);
    scaleFonts();
}

}  // namespace pairwick::stationwindow
