// SPDX-License-Identifier: GPL-3.0-or-later
// The reply cuts' test, shared by the files that each check one kind of reply.
#pragma once

#include <QObject>

#include "protocol/replycuts.h"

Q_DECLARE_METATYPE(pairwick::protocol::TextCut)

class TestReplyCuts : public QObject {
    Q_OBJECT

private slots:
    void fixedPartLengths_data();
    void fixedPartLengths();
    void cutText_data();
    void cutText();
    void boundAddressTrailer_data();
    void boundAddressTrailer();
    void cutUart_data();
    void cutUart();
    void cutRole_data();
    void cutRole();
    void cutMessageState_data();
    void cutMessageState();
    void completeReply_data();
    void completeReply();
};
