// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariantList>

#include "accessibility/accessibilityinterfaces.h"

class QDBusMessage;

namespace pairwick::accessibility {

// One call as the bus delivered it.
struct BusCall {
    QString interface;
    QString member;
    QString signature;
    QVariantList arguments;

    static BusCall from(const QDBusMessage &message);
};

// What to do with a call that assistive technology sent to one of our accessible objects.
// The toolkit's adaptor takes the arguments of a call by position without counting them, so
// only calls it can answer safely reach it.
struct CallCheck {
    enum class Verdict {
        Forward,
        Refuse,
        // Properties.GetAll, which the adaptor takes for a two-argument Get.
        AnswerAllProperties,
        // Value.SetCurrentValue(d), which the adaptor reads as a property Set of three.
        SetValueAsProperty,
    };

    Verdict verdict = Verdict::Forward;
    QString errorName;
    QString errorMessage;
};

// `interfaces` is what the object called declares; empty for a path the adaptor does not know,
// which it refuses by itself.
CallCheck checkCall(const BusCall &call, const BusInterfaces &interfaces);

}  // namespace pairwick::accessibility
