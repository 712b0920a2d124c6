// SPDX-License-Identifier: GPL-3.0-or-later
#include "accessibility/accessibilityinterfaces.h"

#include <QXmlStreamReader>

namespace pairwick::accessibility {

namespace {

QString attribute(const QXmlStreamReader &reader, const char *name) {
    return reader.attributes().value(QLatin1StringView(name)).toString();
}

bool named(const QXmlStreamReader &reader, const char *element) {
    return reader.name() == QLatin1StringView(element);
}

// One <interface> element, read up to its end.
BusInterface readInterface(QXmlStreamReader &reader) {
    BusInterface interface;
    QString method;
    while (reader.readNext() != QXmlStreamReader::Invalid) {
        if (reader.isEndElement() && named(reader, "interface"))
            break;
        if (reader.isEndElement() && named(reader, "method"))
            method.clear();
        if (!reader.isStartElement())
            continue;
        if (named(reader, "method")) {
            method = attribute(reader, "name");
            interface.methods.insert(method, QString());
        } else if (named(reader, "arg") && !method.isEmpty() &&
                   attribute(reader, "direction") != QLatin1StringView("out")) {
            interface.methods[method] += attribute(reader, "type");
        } else if (named(reader, "property")) {
            const QString name = attribute(reader, "name");
            const QString access = attribute(reader, "access");
            if (access.startsWith(QLatin1StringView("read")))
                interface.readableProperties.append(name);
            if (access.endsWith(QLatin1StringView("write")))
                interface.writableProperties.append(name);
        }
    }
    return interface;
}

}  // namespace

BusInterfaces parseIntrospection(const QString &xml) {
    // The adaptor hands out bare <interface> fragments; a root element makes them one document.
    QXmlStreamReader reader(QStringLiteral("<node>") + xml + QStringLiteral("</node>"));
    BusInterfaces interfaces;
    while (reader.readNext() != QXmlStreamReader::Invalid && !reader.atEnd()) {
        if (reader.isStartElement() && named(reader, "interface")) {
            const QString name = attribute(reader, "name");
            interfaces.insert(name, readInterface(reader));
        }
    }
    if (reader.hasError())
        return {};
    return interfaces;
}

}  // namespace pairwick::accessibility
