// SPDX-License-Identifier: GPL-3.0-or-later
// The station window's set-up checks, its tiles, and a ledger that keeps Start waiting, as the
// operator meets them.
#pragma once

#include <memory>

#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>

#include "station/slotevent.h"
#include "station/stationsetup.h"

Q_DECLARE_METATYPE(pairwick::station::SlotEvent)
Q_DECLARE_METATYPE(pairwick::station::SetupField)

template <typename Widget>
Widget *child(QWidget &parent, const QString &name) {
    auto *found = parent.findChild<Widget *>(name);
    if (!found)
        qFatal("no %s", qPrintable(name));
    return found;
}

// The text shown beside `field`, empty while the field is right.
QString problemShown(QWidget &page, pairwick::station::SetupField field);

class TestStationWindow : public QObject {
    Q_OBJECT

private slots:
    void init();
    void setupChecksShowBesideTheirField_data();
    void setupChecksShowBesideTheirField();
    void testLabelPrintsTheSample();
    void tileShowsTheSlotsState_data();
    void tileShowsTheSlotsState();
    void ledgerLineAgreesWithTheTiles();
    void silentLedgerKeepsTheWindowResponsive();
    void everyControlHasAName();
    void noRateBeforeOneAndAddressesWhole();

private:
    pairwick::station::StationSetup validSetup() const;
    std::unique_ptr<QTemporaryDir> m_folder;
};
