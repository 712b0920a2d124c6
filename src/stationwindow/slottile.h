// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>

#include "station/slotevent.h"

class QLabel;
class QProgressBar;

namespace pairwick::accessibility {
class Announcer;
}

namespace pairwick::stationwindow {

// One slot as the operator sees it from a step away: a colour and a word for its state, the
// unit's number and step while it works, name and PIN in large type once it passed, the reason
// once it failed, and "take the unit out" until it is.
class SlotTile final : public QFrame {
    Q_OBJECT

public:
    explicit SlotTile(const QString &slot, QWidget *parent = nullptr);

    void unitFinished(const station::UnitReport &report);
    void display(const station::SlotEvent &event);

    const station::SlotEvent &event() const { return m_event; }
    // What the tile says, in one line, as a screen reader is told it.
    QString summary() const;

    static QColor colourOf(station::SlotState state);
    static QString wordOf(station::SlotState state);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void showFacts();
    void scaleFonts();

    QString m_slot;
    station::SlotEvent m_event;
    station::UnitReport m_report;  // of the unit whose result the tile shows
    QLabel *m_slotLabel;
    QLabel *m_stateLabel;
    QLabel *m_mainLabel;
    QLabel *m_detailLabel;
    QProgressBar *m_progress;
    QLabel *m_removalLabel;
    accessibility::Announcer *m_announcer;
};

}  // namespace pairwick::stationwindow
