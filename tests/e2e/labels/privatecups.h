// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

namespace pairwick::labels::test {

// A CUPS scheduler of the test's own: its configuration, spool and logs in a folder of its own,
// listening on a socket there and on no port, so the machine's CUPS is never touched. Its one
// queue, "Page", takes a PDF as a page printer's driver would (through CUPS's pdftopdf filter)
// and writes it to out/page.pdf, through CUPS's own file: device.
class PrivateCups {
public:
    PrivateCups();
    ~PrivateCups();
    PrivateCups(const PrivateCups &) = delete;
    PrivateCups &operator=(const PrivateCups &) = delete;

    // Empty once it runs; else why it does not.
    const QString &problem() const { return m_problem; }
    // What lp and lpstat need to reach it.
    QProcessEnvironment environment() const;
    QString printedFile() const { return m_folder.filePath(QStringLiteral("out/page.pdf")); }
    // Whether every job has left the queue.
    bool idle() const;

private:
    bool run(const QString &program, const QStringList &arguments,
             QByteArray *output = nullptr) const;

    QTemporaryDir m_folder;
    QProcess m_cupsd;
    QString m_problem;
};

}  // namespace pairwick::labels::test
