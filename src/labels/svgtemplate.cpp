// SPDX-License-Identifier: GPL-3.0-or-later
#include "labels/svgtemplate.h"

#include <QCoreApplication>
#include <QDomDocument>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <algorithm>
#include <functional>
#include <optional>

#include "labels/codesymbol.h"
#include "labels/labelfields.h"
#include "labels/svgcodebox.h"

namespace pairwick::labels {

namespace {

// No printer takes a page of a metre; the preview's image stays within memory.
constexpr qreal PageSideLimitMm = 1000;
// The smallest module a scanner on the line reads from paper: a QR's square and Code 128's
// narrowest bar.
constexpr qreal QrModuleLimitMm = 0.25;
constexpr qreal BarModuleLimitMm = 0.19;

// QDom and Qt Svg descend into a document recursively. A drawing nests a few dozen levels; a file
// nested deeper than this is no drawing, and would exhaust the stack.
constexpr int NestingLimit = 256;

const QString QrId = QStringLiteral("qr");
const QString BarcodeId = QStringLiteral("barcode");
const QString ValueAttribute = QStringLiteral("data-value");

// Visits every node below root in document order, iteratively, so that a deeply nested file
// cannot exhaust the stack; visit says whether to go into a node's children.
void walk(const QDomNode &root, const std::function<bool(QDomNode &)> &visit) {
    QDomNode node = root.firstChild();
    while (!node.isNull()) {
        if (visit(node) && !node.firstChild().isNull()) {
            node = node.firstChild();
            continue;
        }
        while (node != root && node.nextSibling().isNull())
            node = node.parentNode();
        if (node == root)
            break;
        node = node.nextSibling();
    }
}

// The line where the elements nest deeper than the limit, or 0 when they do not.
qint64 tooDeepAt(const QString &text) {
    QXmlStreamReader reader(text);
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth > NestingLimit)
            return reader.lineNumber();
        if (token == QXmlStreamReader::EndElement)
            --depth;
    }
    return 0;
}

// A style sheet's or a script's braces are no fields.
bool holdsFields(const QDomNode &node) {
    const QString tag = node.nodeName().section(u':', -1);
    return tag != u"style" && tag != u"script";
}

std::optional<qreal> pageSideMm(const QString &text) {
    static const QRegularExpression millimetres(
        QStringLiteral("^\\s*([0-9]*\\.?[0-9]+)\\s*mm\\s*$"));
    const QRegularExpressionMatch match = millimetres.match(text);
    const qreal side = match.hasMatch() ? match.captured(1).toDouble() : 0;
    if (side <= 0 || side > PageSideLimitMm)
        return std::nullopt;
    return side;
}

// A length in the user's units, as an editor writes a box's position and size.
std::optional<qreal> userLength(QString text) {
    text = text.trimmed();
    if (text.endsWith(QLatin1String("px")))
        text.chop(2);
    bool ok = false;
    const qreal length = text.toDouble(&ok);
    return ok && qIsFinite(length) ? std::optional<qreal>(length) : std::nullopt;
}

std::optional<QRectF> boxOf(const QDomElement &element) {
    const auto x = userLength(element.attribute(QStringLiteral("x"), QStringLiteral("0")));
    const auto y = userLength(element.attribute(QStringLiteral("y"), QStringLiteral("0")));
    const auto width = userLength(element.attribute(QStringLiteral("width")));
    const auto height = userLength(element.attribute(QStringLiteral("height")));
    if (!x || !y || !width || !height || *width <= 0 || *height <= 0)
        return std::nullopt;
    return QRectF(*x, *y, *width, *height);
}

QString atLine(const QDomNode &node, const QString &problem) {
    return QCoreApplication::translate("pairwick::labels", "第 %1 行：%2")
        .arg(node.lineNumber())
        .arg(problem);
}

// Every field in the document through fill, or the first problem with one.
QString forEachText(const QDomDocument &document,
                    const std::function<std::optional<QString>(const QString &)> &fill) {
    QString problem;
    walk(document, [&](QDomNode &node) {
        if (!problem.isEmpty())
            return false;
        if (node.isText() || node.isCDATASection()) {
            QDomCharacterData text = node.toCharacterData();
            if (const std::optional<QString> filled = fill(text.data()))
                text.setData(*filled);
            else
                problem = atLine(node, scanFields(text.data()).problem);
        }
        const QDomNamedNodeMap attributes = node.attributes();
        for (int i = 0; i < attributes.count() && problem.isEmpty(); ++i) {
            QDomAttr attribute = attributes.item(i).toAttr();
            if (const std::optional<QString> filled = fill(attribute.value()))
                attribute.setValue(*filled);
            else
                problem =
                    atLine(node, QCoreApplication::translate("pairwick::labels", "属性 %1：%2")
                                     .arg(attribute.name(), scanFields(attribute.value()).problem));
        }
        return holdsFields(node);
    });
    return problem;
}

QList<QDomElement> codeElements(const QDomDocument &document) {
    QList<QDomElement> found;
    walk(document, [&](QDomNode &node) {
        const QString id = node.toElement().attribute(QStringLiteral("id"));
        if (id == QrId || id == BarcodeId)
            found.append(node.toElement());
        return true;
    });
    return found;
}

}  // namespace

std::variant<SvgTemplate, QString> SvgTemplate::parse(const QString &text) {
    SvgTemplate label;
    if (const qint64 deep = tooDeepAt(text))
        return QCoreApplication::translate("pairwick::labels",
                                           "第 %1 行：元素嵌套超过 %2 层，不像一幅图")
            .arg(deep)
            .arg(NestingLimit);
    QString error;
    int line = 0;
    if (!label.m_document.setContent(text, false, &error, &line))
        return QCoreApplication::translate("pairwick::labels", "第 %1 行：不是 XML：%2")
            .arg(line)
            .arg(error);
    const QDomElement root = label.m_document.documentElement();
    if (root.tagName().section(u':', -1) != u"svg")
        return QCoreApplication::translate("pairwick::labels", "不是 SVG：根元素是 <%1>")
            .arg(root.tagName());
    const auto width = pageSideMm(root.attribute(QStringLiteral("width")));
    const auto height = pageSideMm(root.attribute(QStringLiteral("height")));
    if (!width || !height)
        return QCoreApplication::translate(
                   "pairwick::labels",
                   "页面大小须以 mm 写在 <svg> 的 width 和 height 里（至多 %1 mm），如 "
                   "width=\"50mm\"")
            .arg(PageSideLimitMm);
    label.m_pageMm = QSizeF(*width, *height);

    const QString problem =
        forEachText(label.m_document, [](const QString &text) -> std::optional<QString> {
            if (!scanFields(text).problem.isEmpty())
                return std::nullopt;
            return text;
        });
    if (!problem.isEmpty())
        return problem;
    QStringList ids;
    for (const QDomElement &element : codeElements(label.m_document)) {
        const QString id = element.attribute(QStringLiteral("id"));
        if (ids.contains(id))
            return atLine(element, QCoreApplication::translate("pairwick::labels",
                                                               "第二个 id 为 \"%1\" 的元素")
                                       .arg(id));
        ids.append(id);
        if (!boxOf(element))
            return atLine(element, QCoreApplication::translate(
                                       "pairwick::labels",
                                       "\"%1\" 元素没有框：须有数值的 width 和 height（及 x、y）")
                                       .arg(id));
        if (element.attribute(ValueAttribute).isEmpty())
            return atLine(element,
                          QCoreApplication::translate("pairwick::labels",
                                                      "\"%1\" 元素没有 data-value，码里没有内容")
                              .arg(id));
    }
    return label;
}

std::variant<QByteArray, QString> SvgTemplate::fill(const LabelValues &values) const {
    QDomDocument document = m_document.cloneNode(true).toDocument();
    forEachText(document, [&](const QString &text) -> std::optional<QString> {
        const FieldScan scan = scanFields(text);
        if (!scan.hasFields())
            return text;
        const auto same = [](const QString &piece) { return piece; };
        return joinPieces(scan.pieces, values, same, same);
    });

    struct Placed {
        QString id;
        qreal moduleUser;
        qreal limitMm;
        bool square;
        qsizetype bytes;
    };
    QList<Placed> placed;
    for (const QDomElement &element : codeElements(document)) {
        const QString id = element.attribute(QStringLiteral("id"));
        const bool qr = id == QrId;
        const QString text = element.attribute(ValueAttribute);
        const auto code = drawCode(qr ? CodeKind::Qr : CodeKind::Code128, text);
        if (const auto *problem = std::get_if<QString>(&code))
            return atLine(element,
                          QCoreApplication::translate("pairwick::labels", "\"%1\" 的码无法生成：%2")
                              .arg(id, *problem));
        qreal moduleUser = 0;
        const QDomElement replacement = codeInBox(document, element, *boxOf(element),
                                                  std::get<CodeDrawing>(code), qr, &moduleUser);
        element.parentNode().replaceChild(replacement, element);
        placed.append(
            {id, moduleUser, qr ? QrModuleLimitMm : BarModuleLimitMm, qr, text.toUtf8().size()});
    }
    const QByteArray svg = document.toByteArray(-1);

    const QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return QCoreApplication::translate("pairwick::labels", "Qt 无法绘制这个 SVG");
    for (const Placed &code : placed) {
        qreal moduleMm = onPaperMm(renderer, code.id, QPointF(code.moduleUser, 0), m_pageMm);
        if (code.square)
            moduleMm = std::min(
                moduleMm, onPaperMm(renderer, code.id, QPointF(0, code.moduleUser), m_pageMm));
        if (moduleMm < code.limitMm)
            return QCoreApplication::translate(
                       "pairwick::labels",
                       "\"%1\" 的框对它的 %2 个字节太小：模块只有 %3 mm，至少须 %4 mm")
                .arg(code.id)
                .arg(code.bytes)
                .arg(moduleMm, 0, 'f', 3)
                .arg(code.limitMm);
    }
    return svg;
}

}  // namespace pairwick::labels
