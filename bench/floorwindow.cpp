// SPDX-License-Identifier: GPL-3.0-or-later
// The floors of a window program's start-up, nothing of Pairwick in any of them: Qt Widgets and
// a window of the given size, empty or showing one line of text (a window in Chinese pays for
// its fonts before it shows anything), or pairwick's own form built by Qt alone (what any
// program showing those forty Chinese controls must do). bench/windowstart.py times them beside
// pairwick.
#include <QApplication>
#include <QLabel>
#include <cstdio>
#include <memory>

#include "ui_form1.h"

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.value(1) == QStringLiteral("--form") && arguments.size() == 2) {
        QWidget window;
        Ui::Form1 form;
        form.setupUi(&window);
        window.show();
        return app.exec();
    }
    bool widthRead = false;
    bool heightRead = false;
    const int width = arguments.value(1).toInt(&widthRead);
    const int height = arguments.value(2).toInt(&heightRead);
    if (!widthRead || !heightRead || width <= 0 || height <= 0) {
        std::fprintf(stderr, "usage: %s WIDTH HEIGHT [TEXT] | --form\n",
                     qPrintable(arguments.first()));
        return 2;
    }
    const QString text = arguments.value(3);
    const std::unique_ptr<QWidget> window =
        text.isEmpty() ? std::make_unique<QWidget>() : std::make_unique<QLabel>(text);
    window->resize(width, height);
    window->show();
    return app.exec();
}
