// SPDX-License-Identifier: GPL-3.0-or-later
#include "privatecups.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include "patience.h"

namespace pairwick::labels::test {

namespace {

bool writeFile(const QString &path, const QByteArray &content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// A page printer made up for the test: it takes PDF and hands it on as PDF.
const QByteArray Ppd = R"ppd(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "PAGEPDF.PPD"
*Manufacturer: "Made Up"
*Product: "(Page Printer)"
*ModelName: "Page Printer"
*ShortNickName: "Page Printer"
*NickName: "Page Printer"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: False
*DefaultColorSpace: Gray
*FileSystem: False
*Throughput: "1"
*TTRasterizer: Type42
*cupsFilter2: "application/vnd.cups-pdf application/pdf 0 -"
*OpenUI *PageSize: PickOne
*DefaultPageSize: A4
*PageSize A4/A4: "<</PageSize[595 842]>>setpagedevice"
*CloseUI: *PageSize
*DefaultImageableArea: A4
*ImageableArea A4: "0 0 595 842"
*DefaultPaperDimension: A4
*PaperDimension A4: "595 842"
)ppd";

}  // namespace

PrivateCups::PrivateCups() {
    const QDir root(m_folder.path());
    for (const char *folder : {"spool", "cache", "state", "log", "tmp", "out"})
        root.mkpath(QLatin1String(folder));
    // The scheduler's filters and the file device run as its own user, lp, when it runs as root.
    for (const char *folder : {"tmp", "out"})
        QFile::setPermissions(root.filePath(QLatin1String(folder)),
                              QFileDevice::Permissions(0x7777));
    const QByteArray path = m_folder.path().toUtf8();
    const bool written =
        writeFile(
            root.filePath("cupsd.conf"),
            "Listen " + path +
                "/cups.sock\nLogLevel warn\nBrowsing Off\nWebInterface No\n"
                "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n") &&
        writeFile(root.filePath("cups-files.conf"),
                  "ServerRoot " + path + "\nRequestRoot " + path + "/spool\nCacheDir " + path +
                      "/cache\nStateDir " + path + "/state\nTempDir " + path + "/tmp\nErrorLog " +
                      path + "/log/error_log\nAccessLog " + path + "/log/access_log\nPageLog " +
                      path +
                      "/log/page_log\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n"
                      "FileDevice Yes\n") &&
        writeFile(root.filePath("page.ppd"), Ppd);
    if (!written) {
        m_problem = QStringLiteral("the scheduler's configuration could not be written");
        return;
    }
    m_cupsd.setProcessChannelMode(QProcess::MergedChannels);
    m_cupsd.start(QStringLiteral("/usr/sbin/cupsd"), {"-f", "-c", root.filePath("cupsd.conf"), "-s",
                                                      root.filePath("cups-files.conf")});
    if (!m_cupsd.waitForStarted()) {
        m_problem =
            QStringLiteral("cupsd does not start (install cups): %1").arg(m_cupsd.errorString());
        return;
    }
    // lpstat -r exits 0 either way; only its words tell that the scheduler answers.
    const QDeadlineTimer deadline(PatienceMs);
    QByteArray state;
    while (!(run(QStringLiteral("lpstat"), {"-r"}, &state) && state.contains("is running")) &&
           !deadline.hasExpired() && m_cupsd.state() == QProcess::Running)
        QThread::msleep(50);
    if (!run(QStringLiteral("lpadmin"),
             {"-p", "Page", "-E", "-v", "file:" + root.filePath("out/page.pdf"), "-P",
              root.filePath("page.ppd")}))
        m_problem = QStringLiteral("the private cupsd took no queue: %1")
                        .arg(QString::fromUtf8(m_cupsd.readAll()));
}

PrivateCups::~PrivateCups() {
    if (m_cupsd.state() != QProcess::NotRunning) {
        m_cupsd.terminate();
        if (!m_cupsd.waitForFinished(PatienceMs)) {
            m_cupsd.kill();
            m_cupsd.waitForFinished();
        }
    }
}

QProcessEnvironment PrivateCups::environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    environment.insert(QStringLiteral("CUPS_SERVER"),
                       m_folder.filePath(QStringLiteral("cups.sock")));
    return environment;
}

bool PrivateCups::idle() const {
    QByteArray jobs;
    return run(QStringLiteral("lpstat"), {"-o"}, &jobs) && jobs.trimmed().isEmpty();
}

bool PrivateCups::run(const QString &program, const QStringList &arguments,
                      QByteArray *output) const {
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(program, arguments);
    if (!process.waitForFinished(PatienceMs))
        return false;
    if (output)
        *output = process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

}  // namespace pairwick::labels::test
