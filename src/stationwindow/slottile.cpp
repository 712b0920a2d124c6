// SPDX-License-Identifier: GPL-3.0-or-later
#include "stationwindow/slottile.h"

#include <QApplication>
#include <QPainter>
#include <algorithm>

#include "accessibility/announcer.h"

namespace pairwick::stationwindow {

using station::SlotState;

namespace {

// The size the type is drawn for: sixteen tiles on a 1366x768 screen.
constexpr double DesignWidth = 320;
constexpr double DesignHeight = 125;
constexpr int Margin = 8;
constexpr int BarHeight = 8;

bool isResult(SlotState state) {
    return state == SlotState::Passed || state == SlotState::Failed ||
           state == SlotState::Already || state == SlotState::Interrupted ||
           state == SlotState::Rejected;
}

}  // namespace

SlotTile::SlotTile(const QString &slot, QWidget *parent)
    : QWidget(parent), m_slot(slot), m_announcer(new accessibility::Announcer(*this)) {
    setObjectName(QStringLiteral("tile-%1").arg(slot));
    setMinimumSize(200, 100);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(tr("槽 %1").arg(m_slot));
    m_face = faceOf(m_event);
    setAccessibleDescription(summary());
    scaleFonts();
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
        case SlotState::Rejected:  // red-amber: neither a failure to retry nor a pass
            return QColor(0xe6, 0x51, 0x00);
        case SlotState::Waiting:
        case SlotState::Problem:
        case SlotState::LedgerAway:
        case SlotState::Finished:
            break;
    }
    return QColor(0x5f, 0x63, 0x68);
}

QColor SlotTile::textColourOn(const QColor &background) {
    return qGray(background.rgb()) > 150 ? QColor(Qt::black) : QColor(Qt::white);
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
            return tr("等待台账");
        case SlotState::Rejected:
            return tr("已拒收");
        case SlotState::Finished:
            break;
    }
    return tr("已停止");
}

void SlotTile::unitFinished(const station::UnitReport &report) {
    m_report = report;
}

SlotTile::Face SlotTile::faceOf(const station::SlotEvent &event) const {
    Face face;
    face.top = event.seq > 0 && event.state != SlotState::Waiting
                   ? QStringLiteral("%1  #%2").arg(m_slot).arg(event.seq)
                   : m_slot;
    face.word = wordOf(event.state);
    face.detail = event.text;
    if (event.state == SlotState::Passed) {
        face.main = QStringLiteral("%1\nPIN %2")
                        .arg(m_report.settings.value(settings::Key::Name),
                             m_report.settings.value(settings::Key::Pin));
        face.detail = m_report.onPassWarning;
    } else if (isResult(event.state) || event.state == SlotState::Problem ||
               (event.state == SlotState::Finished && event.awaitingRemoval)) {
        // The reason, in the adapter's words, where the name would stand.
        face.main = event.text;
        face.detail.clear();
    }
    if (event.state == SlotState::Working) {
        face.stepsAll = std::max(1, event.stepsAll);
        face.stepsDone = std::clamp(event.stepsDone, 0, face.stepsAll);
    }
    if (event.awaitingRemoval)
        face.removal = tr("请取出模块");
    if (!m_ending.isEmpty())
        face.detail = m_ending;
    if (event.state == SlotState::Passed && event.seq == m_labelSeq)
        face.detail = QStringList{face.detail, m_labelText}.join(u' ').trimmed();
    face.alarm = m_alarm;
    return face;
}

void SlotTile::label(qint64 seq, bool printed) {
    if (printed && seq != m_labelSeq)
        return;
    m_labelSeq = seq;
    m_labelText = printed ? tr("标签已打印") : tr("标签待打印");
    showFace(faceOf(m_event), false);
}

void SlotTile::display(const station::SlotEvent &incoming) {
    // A result stays until its unit is out, also when the station ends before that: the tile then
    // only says why no other unit follows.
    const bool resultStays = incoming.state == SlotState::Finished && incoming.awaitingRemoval &&
                             isResult(m_event.state);
    m_ending = resultStays ? incoming.text : QString();
    const station::SlotEvent event = resultStays ? m_event : incoming;
    // A step is progress within a state; a new state, a number becoming known or the unit taken
    // out is news worth telling.
    const bool news = resultStays || event.state != m_event.state || event.seq != m_event.seq ||
                      event.awaitingRemoval != m_event.awaitingRemoval ||
                      (event.state != SlotState::Working && event.text != m_event.text);
    m_event = event;
    const Face face = faceOf(event);
    if (face == m_face)
        return;
    if (news && (event.state == SlotState::Failed || event.state == SlotState::Rejected) &&
        event.awaitingRemoval && !resultStays)
        QApplication::beep();
    showFace(face, news);
}

void SlotTile::alarm(const station::SlotAlarmChange &change) {
    QStringList units;
    for (const qint64 seq : change.failedUnits)
        units.append(QStringLiteral("#%1").arg(seq));
    m_alarm =
        change.raised ? tr("请检查此槽的夹具（%1 失败）").arg(units.join(tr("、"))) : QString();
    setAccessibleName(change.raised ? tr("槽 %1，请检查夹具").arg(m_slot)
                                    : tr("槽 %1").arg(m_slot));
    showFace(faceOf(m_event), true);
}

void SlotTile::showFace(const Face &face, bool news) {
    if (face == m_face)
        return;
    m_face = face;
    setAccessibleDescription(summary());
    update();
    if (news)
        m_announcer->announce(summary());
}

QString SlotTile::summary() const {
    QStringList parts{m_face.top,    m_face.word,
                      m_face.alarm,  QString(m_face.main).replace(u'\n', u' '),
                      m_face.detail, m_face.removal};
    parts.removeAll(QString());
    return parts.join(tr("，"));
}

void SlotTile::scaleFonts() {
    const double scale =
        std::clamp(std::min(width() / DesignWidth, height() / DesignHeight), 0.8, 3.0);
    const auto sized = [this, scale](QFont &font, double pixels, bool bold) {
        font = this->font();
        font.setPixelSize(int(pixels * scale));
        font.setBold(bold);
    };
    sized(m_topFont, 16, true);
    sized(m_wordFont, 24, true);
    sized(m_nameFont, 22, true);
    sized(m_reasonFont, 16, false);
    sized(m_detailFont, 15, false);
    sized(m_removalFont, 17, true);
}

void SlotTile::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    scaleFonts();
}

void SlotTile::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const QColor background = colourOf(m_event.state);
    painter.fillRect(rect(), background);
    painter.setPen(background.darker(130));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    const QColor ink = textColourOn(background);
    painter.setPen(ink);

    QRect area = rect().adjusted(Margin, Margin / 2, -Margin, -Margin / 2);
    const int topHeight = QFontMetrics(m_wordFont).height();
    const QRect top(area.topLeft(), QSize(area.width(), topHeight));
    painter.setFont(m_topFont);
    painter.drawText(top, Qt::AlignLeft | Qt::AlignVCenter, m_face.top);
    // A long word ("Already provisioned") gives way to the heading rather than cover it; the
    // tile's accessible description still holds it whole.
    const QRect wordArea =
        top.adjusted(painter.fontMetrics().horizontalAdvance(m_face.top) + Margin, 0, 0, 0);
    painter.setFont(m_wordFont);
    painter.drawText(
        wordArea, Qt::AlignRight | Qt::AlignVCenter,
        painter.fontMetrics().elidedText(m_face.word, Qt::ElideRight, wordArea.width()));
    area.setTop(top.bottom() + 1);
    if (!m_face.alarm.isEmpty()) {
        // In the colour of a warning whatever the state below it, so it reads from a step away.
        painter.setFont(m_removalFont);
        const QRect band(area.left(), area.top(), area.width(), painter.fontMetrics().height());
        const QColor warning(0xff, 0xd5, 0x4f);
        painter.fillRect(band, warning);
        painter.setPen(textColourOn(warning));
        painter.drawText(
            band.adjusted(Margin / 2, 0, -Margin / 2, 0), Qt::AlignLeft | Qt::AlignVCenter,
            painter.fontMetrics().elidedText(m_face.alarm, Qt::ElideRight, band.width() - Margin));
        painter.setPen(ink);
        area.setTop(band.bottom() + 2);
    }

    const int bottomHeight = QFontMetrics(m_removalFont).height();
    const QRect bottom(area.left(), area.bottom() - bottomHeight + 1, area.width(), bottomHeight);
    painter.setFont(m_removalFont);
    const int removalWidth = painter.fontMetrics().horizontalAdvance(m_face.removal);
    painter.drawText(bottom, Qt::AlignRight | Qt::AlignVCenter, m_face.removal);
    painter.setFont(m_detailFont);
    const QRect detail = bottom.adjusted(0, 0, -removalWidth - Margin, 0);
    painter.drawText(
        detail, Qt::AlignLeft | Qt::AlignVCenter,
        painter.fontMetrics().elidedText(m_face.detail, Qt::ElideRight, detail.width()));
    area.setBottom(bottom.top() - 1);

    if (m_face.stepsAll > 0) {
        const QRect bar(area.left(), area.bottom() - BarHeight + 1, area.width(), BarHeight);
        painter.drawRect(bar.adjusted(0, 0, -1, -1));
        painter.fillRect(bar.left(), bar.top(), bar.width() * m_face.stepsDone / m_face.stepsAll,
                         bar.height(), ink);
        area.setBottom(bar.top() - 2);
    }
    const bool passed = m_event.state == SlotState::Passed;
    painter.setFont(passed ? m_nameFont : m_reasonFont);
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, m_face.main);
}

}  // namespace pairwick::stationwindow
