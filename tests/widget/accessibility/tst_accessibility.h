// SPDX-License-Identifier: GPL-3.0-or-later
// The accessibility test, shared by the files that each walk one side of what a screen reader
// finds: the main window's names, its values, and the About dialog.
#pragma once

#include <QAccessible>
#include <QDialog>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>

#include "windowharness.h"

namespace pairwick::accessibility::test {

// Every accessible object reachable from `window` by child navigation, keyed by its widget's
// object name; nameless helpers (a list's rows, a combo box's popup) are walked but not kept.
struct Walk {
    QHash<QString, QAccessibleInterface *> byName;
    int nodes = 0;
};

Walk walk(QObject *window);
QString nameOf(QAccessibleInterface *node);
QString valueOf(QAccessibleInterface *node);
QStringList labelNames(QAccessibleInterface *field);

}  // namespace pairwick::accessibility::test

Q_DECLARE_METATYPE(QAccessible::Role)

class TestAccessibility : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void spokenCaptionDropsTheClosingColon_data();
    void spokenCaptionDropsTheClosingColon();

    void windowIsAnnouncedAsAWindow();
    void controlsAreNamedByTheirCaptions_data();
    void controlsAreNamedByTheirCaptions();
    void fieldsAreLabelledByTheirCaptions_data();
    void fieldsAreLabelledByTheirCaptions();
    void everyControlHasAName();
    void listsReadTheirChoiceAsValue();
    void connectionStatusReadsItsTextAsValue();
    void statusLineReadsTheCurrentStatus();
    void statusOutcomesAreNotified();
    void progressBarOffersItsRange();
    void aboutDialogControlsAreNamed_data();
    void aboutDialogControlsAreNamed();
    void aboutDialogHasNoNamelessControl();

private:
    std::unique_ptr<pairwick::fakes::WindowHarness> m_harness;
    pairwick::accessibility::test::Walk m_walk;

    QAccessibleInterface *node(const QString &objectName) const;
    QPointer<QDialog> openAbout();
};
