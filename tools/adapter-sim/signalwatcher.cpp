// SPDX-License-Identifier: GPL-3.0-or-later
#include "signalwatcher.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>

namespace pairwick::adaptersim {

namespace {

int pipeEnds[2] = {-1, -1};

constexpr int watchedSignals[] = {SIGINT, SIGTERM, SIGHUP};

void onSignal(int signalNumber) {
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &number, 1);
    errno = savedErrno;
}

void setHandler(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : watchedSignals) {
        sigaction(signalNumber, &action, nullptr);
    }
}

}  // namespace

SignalWatcher::SignalWatcher(QObject *parent) : QObject(parent) {
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) {
        qFatal("cannot create the signal pipe");
    }
    m_notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalWatcher::drain);
    setHandler(onSignal);
}

SignalWatcher::~SignalWatcher() {
    setHandler(SIG_DFL);
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}

void SignalWatcher::drain() {
    unsigned char number = 0;
    while (::read(pipeEnds[0], &number, 1) == 1) {
        emit terminationRequested(number);
    }
}

}  // namespace pairwick::adaptersim
