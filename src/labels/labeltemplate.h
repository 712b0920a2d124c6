// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <variant>

#include "labels/labelvalues.h"
#include "labels/svgtemplate.h"
#include "labels/zpltemplate.h"

namespace pairwick::labels {

// A label template as a station is given it: FILE.zpl for a label printer, FILE.svg for a page
// printer.
class LabelTemplate {
public:
    // The template, checked in full before anything is printed: read, parsed, and filled once
    // with made-up values of the longest lengths, so that a code too small for its text is
    // found now and not on the line. Otherwise why not, naming the file.
    static std::variant<LabelTemplate, QString> load(const QString &path);

    // The suffixes a preview may be written as: zpl for ZPL; pdf or png for SVG.
    QStringList previewSuffixes() const;
    // The label of these values, exactly as it would print, into path (one of the above
    // suffixes). Returns why it could not be, or an empty text.
    QString writePreview(const LabelValues &values, const QString &path) const;
    // What a printer is sent: the filled ZPL, or the PDF page of a filled SVG; or why the
    // values do not fit the template's codes.
    std::variant<QByteArray, QString> document(const LabelValues &values) const;
    bool isZpl() const { return std::holds_alternative<ZplTemplate>(m_parsed); }

private:
    explicit LabelTemplate(std::variant<ZplTemplate, SvgTemplate> parsed)
        : m_parsed(std::move(parsed)) {}
    std::variant<ZplTemplate, SvgTemplate> m_parsed;
};

}  // namespace pairwick::labels
