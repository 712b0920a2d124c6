// SPDX-License-Identifier: GPL-3.0-or-later
#include "labels/labeltemplate.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSaveFile>

#include "labels/labelsource.h"
#include "labels/svgdrawing.h"

namespace pairwick::labels {

namespace {

QString suffixOf(const QString &path) {
    return QFileInfo(path).suffix().toLower();
}

QString writeFile(const QByteArray &content, const QString &path) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit())
        return QString();
    return QStringLiteral("%1: %2").arg(path, file.errorString());
}

}  // namespace

std::variant<LabelTemplate, QString> LabelTemplate::load(const QString &path) {
    const QString suffix = suffixOf(path);
    if (suffix != u"zpl" && suffix != u"svg")
        return QCoreApplication::translate(
                   "pairwick::labels",
                   "%1：标签模板须是 .zpl（标签打印机）或 .svg（其他打印机）文件")
            .arg(path);
    QString error;
    const std::optional<QString> text = readTemplateText(path, &error);
    if (!text)
        return error;
    const auto named = [&](const QString &problem) {
        return QStringLiteral("%1: %2").arg(path, problem);
    };
    if (suffix == u"zpl") {
        auto parsed = ZplTemplate::parse(*text);
        if (const auto *problem = std::get_if<QString>(&parsed))
            return named(*problem);
        return LabelTemplate(std::move(std::get<ZplTemplate>(parsed)));
    }
    auto parsed = SvgTemplate::parse(*text);
    if (const auto *problem = std::get_if<QString>(&parsed))
        return named(*problem);
    const auto sample = std::get<SvgTemplate>(parsed).fill(sampleValues());
    if (const auto *problem = std::get_if<QString>(&sample))
        return named(
            QCoreApplication::translate("pairwick::labels", "以最长的示例值：%1").arg(*problem));
    return LabelTemplate(std::move(std::get<SvgTemplate>(parsed)));
}

QStringList LabelTemplate::previewSuffixes() const {
    if (std::holds_alternative<ZplTemplate>(m_parsed))
        return {QStringLiteral("zpl")};
    return {QStringLiteral("pdf"), QStringLiteral("png")};
}

QString LabelTemplate::writePreview(const LabelValues &values, const QString &path) const {
    const QString suffix = suffixOf(path);
    if (!previewSuffixes().contains(suffix))
        return QCoreApplication::translate("pairwick::labels", "%1：这个模板的预览须写成 %2 文件")
            .arg(path, u'.' + previewSuffixes().join(QStringLiteral(", .")));
    if (const auto *zpl = std::get_if<ZplTemplate>(&m_parsed))
        return writeFile(zpl->fill(values), path);
    const SvgTemplate &svg = std::get<SvgTemplate>(m_parsed);
    const auto filled = svg.fill(values);
    if (const auto *problem = std::get_if<QString>(&filled))
        return *problem;
    const QByteArray &drawing = std::get<QByteArray>(filled);
    return suffix == u"pdf" ? writePdf(drawing, svg.pageMm(), path)
                            : writePng(drawing, svg.pageMm(), path);
}

std::variant<QByteArray, QString> LabelTemplate::document(const LabelValues &values) const {
    if (const auto *zpl = std::get_if<ZplTemplate>(&m_parsed))
        return zpl->fill(values);
    const SvgTemplate &svg = std::get<SvgTemplate>(m_parsed);
    auto filled = svg.fill(values);
    if (const auto *drawing = std::get_if<QByteArray>(&filled))
        return pdfOf(*drawing, svg.pageMm());
    return filled;
}

}  // namespace pairwick::labels
