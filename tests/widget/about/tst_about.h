// SPDX-License-Identifier: GPL-3.0-or-later
// The About dialog's test, shared by the files that each check one side of it.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "about/browserlauncher.h"
#include "about/frmabout.h"

struct LaunchCall {
    QString program;
    QStringList arguments;
};

// Records every start request and answers as told, so a missing browser can be played.
class RecordingLauncher final : public pairwick::about::BrowserLauncher {
public:
    bool startDetached(const QString &program, const QStringList &arguments) override {
        calls.append({program, arguments});
        return succeeds;
    }

    bool succeeds = true;
    QList<LaunchCall> calls;
};

class TestAbout : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadStepNamesTheApplication();
    void loadStepFollowsTheDisplayName_data();
    void loadStepFollowsTheDisplayName();

    void dialogHasFixedSizeAndIcon();
    void titleBarOffersOnlyClose();
    void controlGeometry_data();
    void controlGeometry();
    void controlTexts_data();
    void controlTexts();
    void makerAndNoticeAreWritten();
    void textsFitTheirLabels_data();
    void textsFitTheirLabels();
    void noCaptionHasAccessKey();
    void textColours_data();
    void textColours();
    void addressIsDrawnInRed();
    void etchedRuleIsGreyOverWhite_data();
    void etchedRuleIsGreyOverWhite();
    void imagesAreLoaded_data();
    void imagesAreLoaded();
    void applicationIconKeepsToAPalette();
    void imagesAndAddressHaveAccessibleNames();

    void onlyOkTakesFocus();
    void closingKeysCloseAndDeleteTheDialog_data();
    void closingKeysCloseAndDeleteTheDialog();
    void okButtonClosesAndDeletesTheDialog();
    void closeButtonClosesAndDeletesTheDialog();

    void addressLooksClickable();
    void addressClickStartsTheBrowser_data();
    void addressClickStartsTheBrowser();
    void addressPressDraggedAwayStartsNothing();
    void failingBrowserLeavesTheDialogQuiet();

    void processLauncherReportsWhetherTheProgramStarted_data();
    void processLauncherReportsWhetherTheProgramStarted();

private:
    QWidget *control(const char *name) const;
    bool showDialog();

    RecordingLauncher m_launcher;
    QPointer<pairwick::about::frmAbout> m_dialog;
};
