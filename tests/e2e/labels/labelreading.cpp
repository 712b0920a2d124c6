// SPDX-License-Identifier: GPL-3.0-or-later
#include "labelreading.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "patience.h"

namespace pairwick::labels::test {

namespace {

bool run(const QString &program, const QStringList &arguments, QByteArray *output,
         QString *problem) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("NODE_PATH"), QStringLiteral(PAIRWICK_NODE_MODULES));
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(PatienceMs)) {
        process.kill();
        process.waitForFinished();
    }
    *output = process.readAllStandardOutput();
    if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return true;
    *problem =
        QStringLiteral("%1: %2").arg(program, QString::fromUtf8(process.readAllStandardError()));
    return false;
}

}  // namespace

QString missingReaders() {
    for (const char *tool : {"node", "zbarimg", "pdftoppm"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            return QStringLiteral("%1 is missing: run scripts/install-deps test")
                .arg(QLatin1String(tool));
    }
    if (!QDir(QStringLiteral(PAIRWICK_NODE_MODULES "/zpl-renderer-js")).exists())
        return QStringLiteral("zpl-renderer-js is not installed in " PAIRWICK_NODE_MODULES
                              ": run scripts/install-deps test");
    return QString();
}

QByteArray qrOfZpl(const QByteArray &zpl, const QString &folder, QString *problem) {
    QTemporaryFile label(folder + QStringLiteral("/label-XXXXXX.zpl"));
    if (!label.open() || label.write(zpl) != zpl.size() || !label.flush()) {
        *problem = label.errorString();
        return {};
    }
    const QString image = label.fileName() + QStringLiteral(".png");
    QByteArray output;
    if (!run(QStringLiteral("node"), {QStringLiteral(PAIRWICK_RENDER_ZPL), label.fileName(), image},
             &output, problem) ||
        !run(QStringLiteral("zbarimg"), {"-q", "--raw", "-Sbinary", image}, &output, problem))
        return {};
    QFile::remove(image);
    return output;
}

}  // namespace pairwick::labels::test
