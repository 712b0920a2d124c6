// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/labelprogram.h"

#include <unistd.h>
#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <cstring>

#include "cli/clirequest.h"
#include "cli/output.h"

namespace pairwick::cli {

QStringList labelProgramPaths() {
    const QString folder = QCoreApplication::applicationDirPath();
    // Beside pairwick-cli in a build tree; in the package, with the programs only other programs
    // start.
    return {folder + QStringLiteral("/pairwick-label"),
            folder + QStringLiteral("/../libexec/pairwick/pairwick-label")};
}

int handOverToLabelProgram(char *argv[]) {
    const QStringList paths = labelProgramPaths();
    int error = ENOENT;
    for (const QString &path : paths) {
        std::fflush(nullptr);
        ::execv(QFile::encodeName(path).constData(), argv);
        if (errno != ENOENT)
            error = errno;
    }
    print(stderr, QStringLiteral("pairwick-cli: labels are drawn by pairwick-label, which cannot "
                                 "be run from %1 or %2: %3\n")
                      .arg(paths[0], paths[1], QString::fromLocal8Bit(std::strerror(error)))
                      .toUtf8());
    return ExitStatus::PortFailed;
}

}  // namespace pairwick::cli
