// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/labelmaker.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>

#include "labels/labelsource.h"
#include "labels/zpltemplate.h"

namespace pairwick::printing {

QString templateHashOf(const QString &path) {
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return QString();
    return QString::fromLatin1(hash.result().toHex());
}

std::variant<LabelMaker, QString> zplMaker(const QString &path) {
    if (!path.endsWith(QStringLiteral(".zpl"), Qt::CaseInsensitive))
        return QCoreApplication::translate(
                   "pairwick::labels",
                   "%1：标签模板须是 .zpl（标签打印机）或 .svg（其他打印机）文件")
            .arg(path);
    QString error;
    const std::optional<QString> text = labels::readTemplateText(path, &error);
    if (!text)
        return error;
    auto parsed = labels::ZplTemplate::parse(*text);
    if (const auto *problem = std::get_if<QString>(&parsed))
        return QStringLiteral("%1: %2").arg(path, *problem);
    return LabelMaker{DocumentKind::Zpl, templateHashOf(path),
                      [zpl = std::get<labels::ZplTemplate>(std::move(parsed))](
                          const labels::LabelValues &values) -> std::variant<QByteArray, QString> {
                          return zpl.fill(values);
                      }};
}

}  // namespace pairwick::printing
