// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCommandLineOption>
#include <QString>

class QCommandLineParser;

namespace pairwick::cli {

struct CliRequest;

// What pair takes beyond the options of every port command, and what it makes of them: the PIN
// and the UART and message settings for both adapters, a name and a role for each.
class PairOptions {
public:
    PairOptions();

    void addPositionalArguments(QCommandLineParser &parser) const;
    void addOptions(QCommandLineParser &parser) const;
    // Fills in the request's ports and settings, or says why they cannot be paired as given.
    QString read(const QCommandLineParser &parser, CliRequest &request) const;

    // What pair does and what its exit status means, for its help.
    static QString explanation();

private:
    QCommandLineOption m_pin;
    QCommandLineOption m_set;
    QCommandLineOption m_masterName;
    QCommandLineOption m_slaveName;
};

}  // namespace pairwick::cli
