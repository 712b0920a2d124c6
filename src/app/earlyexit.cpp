// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/earlyexit.h"

#include <cstdio>

namespace pairwick::app {

QStringList argumentsOf(int argc, char *argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

int finish(const EarlyExit &exit) {
    std::FILE *stream = exit.status == 0 ? stdout : stderr;
    std::fputs(exit.text.toLocal8Bit().constData(), stream);
    return exit.status;
}

}  // namespace pairwick::app
