// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace pairwick::accessibility {

// A caption as a screen reader should say it: without the colon that ends it on screen.
QString spokenCaption(const QString &caption);

// Names every labelled field, and its label, after the label's spoken caption. A field that
// already has a name keeps it.
void nameFieldsByTheirLabels(QWidget &window);

}  // namespace pairwick::accessibility
