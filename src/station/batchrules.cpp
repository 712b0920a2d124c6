// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/batchrules.h"

#include <QCoreApplication>

#include "settings/boundedfile.h"
#include "settings/profile.h"
#include "station/unitvalue.h"
#include "station/valuesfile.h"

namespace pairwick::station {

namespace {

using settings::AdapterSettings;
using settings::Key;

// The unit's row (when it has one) over the templates, every field filled in, checked as a write
// checks it. A fault names the file's cell when the value came from there.
std::variant<AdapterSettings, QString> fillUnit(const BatchRules &rules,
                                                const std::optional<QString> &rowKey,
                                                const TemplateContext &context,
                                                const RandomDigits &random) {
    const bool hasRow = rules.values && rowKey && rules.values->rows.contains(*rowKey);
    const AdapterSettings row = hasRow ? rules.values->rows.value(*rowKey) : AdapterSettings();
    const QString rowAt = hasRow ? QCoreApplication::translate("pairwick::station", "%1 第 %2 行")
                                       .arg(rules.values->source)
                                       .arg(rules.values->lines.value(*rowKey))
                                 : QString();
    AdapterSettings merged = rules.templates;
    merged.merge(row);

    AdapterSettings filled;
    for (Key key : merged.keys()) {
        QString problem;
        const std::optional<QString> value =
            fillValue(key, merged.value(key), context, random, &problem);
        if (value) {
            filled.set(key, *value);
        } else if (row.has(key)) {
            return QCoreApplication::translate("pairwick::station", "%1的列 \"%2\"：%3")
                .arg(rowAt, settings::keyName(key), problem);
        } else if (hasRow) {
            return QCoreApplication::translate("pairwick::station", "%1：%2（%3的模块）")
                .arg(settings::keyName(key), problem, rowAt);
        } else {
            return QStringLiteral("%1: %2").arg(settings::keyName(key), problem);
        }
    }
    const QString combination = settings::combinationProblem(filled);
    if (!combination.isEmpty())
        return hasRow ? QStringLiteral("%1: %2").arg(rowAt, combination) : combination;
    return filled;
}

QString problemOf(const std::variant<AdapterSettings, QString> &filled) {
    const QString *problem = std::get_if<QString>(&filled);
    return problem ? *problem : QString();
}

}  // namespace

std::optional<ValuesTable> loadValuesFile(const QString &path, QString *error) {
    const std::optional<QByteArray> content = settings::readBoundedFile(path, error);
    if (!content)
        return std::nullopt;
    return parseValuesFile(*content, path, error);
}

QString rulesProblem(const BatchRules &rules) {
    if (rules.first < 0)
        return QCoreApplication::translate("pairwick::station", "起始编号：%1；模块从 0 开始编号")
            .arg(rules.first);
    // The units without a row of their own get the templates alone.
    QString problem = problemOf(
        fillUnit(rules, std::nullopt, TemplateContext{rules.first, SampleAddress}, sampleDigits));
    if (!problem.isEmpty() || !rules.values)
        return problem;
    const bool bySeq = rules.values->pickBy == ValuesTable::PickBy::Seq;
    for (const QString &unit : rules.values->rows.keys()) {
        const TemplateContext context = bySeq ? TemplateContext{unit.toLongLong(), SampleAddress}
                                              : TemplateContext{rules.first, unit};
        problem = problemOf(fillUnit(rules, unit, context, sampleDigits));
        if (!problem.isEmpty())
            return problem;
    }
    return QString();
}

std::variant<AdapterSettings, QString> unitValues(const BatchRules &rules, qint64 seq,
                                                  const QString &address,
                                                  const RandomDigits &random) {
    const bool bySeq = !rules.values || rules.values->pickBy == ValuesTable::PickBy::Seq;
    const QString rowKey = bySeq ? QString::number(seq) : addressDigits(address);
    return fillUnit(rules, rowKey, TemplateContext{seq, address}, random);
}

}  // namespace pairwick::station
