// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QWidget>

#include "station/slotalarm.h"
#include "station/slotevent.h"

namespace pairwick::accessibility {
class Announcer;
}

namespace pairwick::stationwindow {

// One slot as the operator sees it from a step away: a colour and a word for its state, the
// unit's number and step while it works, name and PIN in large type once it passed, the reason
// once it failed, and "take the unit out" until it is. It draws itself: sixteen tiles of labels
// in layouts cost more to keep up to date than the whole engine does to provision.
class SlotTile final : public QWidget {
    Q_OBJECT

public:
    // What the tile shows, line by line.
    struct Face {
        QString top;      // the slot, and the unit's number once it has one
        QString word;     // the state
        QString main;     // name and PIN, or the reason
        QString detail;   // the step, or why the slot waits
        QString removal;  // "take the unit out" while the unit waits to be taken out
        QString alarm;    // "check this slot's fixture" from a raised alarm to its clearing
        int stepsDone = 0;
        int stepsAll = 0;  // a step bar is shown while above 0

        bool operator==(const Face &other) const = default;
    };

    explicit SlotTile(const QString &slot, QWidget *parent = nullptr);

    void unitFinished(const station::UnitReport &report);
    void display(const station::SlotEvent &incoming);
    void alarm(const station::SlotAlarmChange &change);
    // The label of the passed unit seq: waiting for the printer, or printed.
    void label(qint64 seq, bool printed);

    const station::SlotEvent &event() const { return m_event; }
    const Face &face() const { return m_face; }
    // What the tile says, in one line, as a screen reader is told it.
    QString summary() const;

    static QColor colourOf(station::SlotState state);
    static QColor textColourOn(const QColor &background);
    static QString wordOf(station::SlotState state);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    Face faceOf(const station::SlotEvent &event) const;
    void showFace(const Face &face, bool news);
    void scaleFonts();

    QString m_slot;
    station::SlotEvent m_event;
    station::UnitReport m_report;  // of the unit whose result the tile shows
    QString m_ending;              // why no unit follows the one whose result stays
    QString m_alarm;
    qint64 m_labelSeq = 0;
    QString m_labelText;
    Face m_face;
    QFont m_topFont;
    QFont m_wordFont;
    QFont m_nameFont;
    QFont m_reasonFont;
    QFont m_detailFont;
    QFont m_removalFont;
    accessibility::Announcer *m_announcer;
};

}  // namespace pairwick::stationwindow
