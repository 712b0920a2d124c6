// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <utility>

namespace pairwick::service {

using Labels = QList<std::pair<QString, QString>>;

// Prometheus's text exposition format, version 0.0.4, written family by family: each family's
// HELP and TYPE lines, then its samples.
class Exposition {
public:
    // type: counter, gauge or histogram.
    void family(const char *name, const char *type, const char *help);
    void sample(const QByteArray &name, const Labels &labels, double value);
    QByteArray text() const { return m_text; }

    static constexpr const char *ContentType = "text/plain; version=0.0.4; charset=utf-8";

private:
    QByteArray m_text;
};

}  // namespace pairwick::service
