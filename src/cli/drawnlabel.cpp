// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/drawnlabel.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>

#include "cli/labelprogram.h"
#include "printing/valuesjson.h"

namespace pairwick::cli {

namespace {

// A page takes Qt a few tenths of a second to set up and draw; a minute means a hung drawing.
constexpr int DrawingMs = 60000;

QString labelProgram() {
    for (const QString &path : labelProgramPaths()) {
        if (QFileInfo(path).isExecutable())
            return path;
    }
    return QString();
}

// The PDF of these values (or of made-up ones), or why pairwick-label drew none, in its words.
std::variant<QByteArray, QString> draw(const QString &program, const QString &templatePath,
                                       const std::optional<labels::LabelValues> &values) {
    QTemporaryDir folder;
    const QString out = folder.filePath(QStringLiteral("label.pdf"));
    QStringList arguments{QStringLiteral("label"),   QStringLiteral("preview"),
                          QStringLiteral("--label"), templatePath,
                          QStringLiteral("--out"),   out};
    if (values) {
        QFile json(folder.filePath(QStringLiteral("values.json")));
        if (!json.open(QIODevice::WriteOnly) ||
            json.write(QJsonDocument(printing::valuesJson(*values)).toJson()) < 0)
            return QStringLiteral("%1: %2").arg(json.fileName(), json.errorString());
        arguments << QStringLiteral("--values") << json.fileName();
    } else {
        arguments << QStringLiteral("--sample");
    }
    QProcess drawing;
    drawing.start(program, arguments);
    if (!drawing.waitForFinished(DrawingMs)) {
        drawing.kill();
        drawing.waitForFinished();
        return QStringLiteral("%1 did not draw the label: %2").arg(program, drawing.errorString());
    }
    if (drawing.exitStatus() != QProcess::NormalExit || drawing.exitCode() != 0)
        return QString::fromUtf8(drawing.readAllStandardError())
            .remove(QStringLiteral("pairwick-cli: "))
            .trimmed();
    QFile pdf(out);
    if (!pdf.open(QIODevice::ReadOnly))
        return QStringLiteral("%1: %2").arg(out, pdf.errorString());
    return pdf.readAll();
}

}  // namespace

std::variant<printing::LabelMaker, QString> drawnLabelMaker(const QString &templatePath) {
    const QString program = labelProgram();
    if (program.isEmpty())
        return QStringLiteral("an SVG label is drawn by pairwick-label, which is not in %1")
            .arg(labelProgramPaths().join(QStringLiteral(" or ")));
    const QString absolute = QFileInfo(templatePath).absoluteFilePath();
    if (const auto checked = draw(program, absolute, std::nullopt);
        std::holds_alternative<QString>(checked))
        return std::get<QString>(checked);
    return printing::LabelMaker{printing::DocumentKind::Pdf, printing::templateHashOf(absolute),
                                [program, absolute](const labels::LabelValues &values) {
                                    return draw(program, absolute, values);
                                }};
}

}  // namespace pairwick::cli
