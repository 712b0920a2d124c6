// SPDX-License-Identifier: GPL-3.0-or-later
// pairwick-label: `pairwick-cli label`, in a program of its own because drawing a label needs Qt
// Gui's fonts, which no other command of pairwick-cli loads.
#include <QGuiApplication>
#include <QTranslator>

#include "cli/labelcommand.h"
#include "i18n/translation.h"

using namespace pairwick;

int main(int argc, char *argv[]) {
    // A preview shows no window.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // It speaks as the command its user typed.
    QCoreApplication::setApplicationName(QStringLiteral("pairwick-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PAIRWICK_VERSION));
    const auto translation = i18n::installTranslation(i18n::Language::English);
    return cli::runLabelCommand(QCoreApplication::arguments());
}
