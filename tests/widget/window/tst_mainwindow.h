// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's test, shared by the files that each check one side of it.
#pragma once

#include <QObject>

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void controlGeometry_data();
    void controlGeometry();
    void captions_data();
    void captions();
    void windowFrame();
    void startState();
    void readOnlyBoxesSitOnButtonFace_data();
    void readOnlyBoxesSitOnButtonFace();
    void startListsHoldTheirEntries();
    void tabOrderAndFirstFocus();
    void lengthLimits_data();
    void lengthLimits();
    void readOnlyBoxesRefuseTyping_data();
    void readOnlyBoxesRefuseTyping();
    void enterPressesConnectUnlessAButtonHasFocus();
    void helpShowsOneAboutDialogAtATime();
    void exitEndsAtOnceAndSendsNothing();
    void closingMainWindowLeavesAboutOpen();
};
