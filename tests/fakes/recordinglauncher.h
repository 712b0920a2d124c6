// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QStringList>

#include "about/browserlauncher.h"

namespace pairwick::fakes {

class RecordingLauncher : public about::BrowserLauncher {
public:
    struct Start {
        QString program;
        QStringList arguments;
    };

    bool startDetached(const QString &program, const QStringList &arguments) override {
        m_starts.append({program, arguments});
        return m_succeeds;
    }
    void setSucceeds(bool succeeds) { m_succeeds = succeeds; }
    const QList<Start> &starts() const { return m_starts; }

private:
    QList<Start> m_starts;
    bool m_succeeds = true;
};

}  // namespace pairwick::fakes
