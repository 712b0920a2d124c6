// SPDX-License-Identifier: GPL-3.0-or-later
#include <optional>

#include "tst_batchrules.h"

using namespace pairwick::station;
using pairwick::settings::Key;

namespace pairwick::station::testing {

QString countingDigits(int count) {
    return QStringLiteral("01234567890123456789").left(count);
}

ValuesTable table(const QByteArray &csv) {
    QString error;
    const std::optional<ValuesTable> values = parseValuesFile(csv, "values.csv", &error);
    if (!values)
        qFatal("the test's values file is refused: %s", qPrintable(error));
    return *values;
}

BatchRules rules(const QString &name, const QByteArray &csv, qint64 first) {
    BatchRules made;
    made.first = first;
    if (!name.isEmpty())
        made.templates.set(Key::Name, name);
    if (!csv.isEmpty())
        made.values = table(csv);
    return made;
}

}  // namespace pairwick::station::testing
