// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controlcommand.h"
#include "linesplitter.h"

#include <QObject>
#include <QString>

class QSocketNotifier;

namespace pairwick::adaptersim {

// Reads the operator's control lines from standard input as they come. A line that is not a
// command is reported and skipped; the end of the input only stops the reading.
class ControlInput : public QObject {
    Q_OBJECT

public:
    explicit ControlInput(QObject *parent = nullptr);

signals:
    void command(const ControlCommand &command);
    void rejected(const QString &reason);

private:
    void readSome();

    QSocketNotifier *m_readable = nullptr;
    LineSplitter m_splitter;
};

}  // namespace pairwick::adaptersim
