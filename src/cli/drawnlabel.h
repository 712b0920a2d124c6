// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <variant>

#include "printing/labelmaker.h"

namespace pairwick::cli {

// An SVG template's labels for a station of the command line, which loads no Qt Gui: each PDF
// page is drawn by pairwick-label (label preview --values), a process a label. The template is
// checked at once the same way, with made-up values of the longest lengths.
std::variant<printing::LabelMaker, QString> drawnLabelMaker(const QString &templatePath);

}  // namespace pairwick::cli
