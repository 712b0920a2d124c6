// SPDX-License-Identifier: GPL-3.0-or-later
#include "labels/codesymbol.h"

#include <zint.h>

#include <QCoreApplication>
#include <algorithm>
#include <memory>

namespace pairwick::labels {

namespace {

// QR's error correction level M: a label that is scuffed or printed a little light still reads.
constexpr int QrLevelM = 2;
// The Extended Channel Interpretation of UTF-8.
constexpr int Utf8Eci = 26;
// zint's colour number of a rectangle drawn in the background's colour.
constexpr int WhiteColour = 8;

struct SymbolDeleter {
    void operator()(zint_symbol *symbol) const { ZBarcode_Delete(symbol); }
};

}  // namespace

std::variant<CodeDrawing, QString> drawCode(CodeKind kind, const QString &text) {
    const std::unique_ptr<zint_symbol, SymbolDeleter> symbol(ZBarcode_Create());
    if (!symbol)
        return QCoreApplication::translate("pairwick::labels", "内存不足，无法生成条码");
    if (kind == CodeKind::Qr) {
        symbol->symbology = BARCODE_QRCODE;
        symbol->option_1 = QrLevelM;
        // The bytes of the UTF-8 text as they are. Beyond ASCII they are marked as UTF-8, so
        // that a scanner need not guess among the encodings QR codes are found in.
        symbol->input_mode = DATA_MODE;
        if (std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() > 0x7f; }))
            symbol->eci = Utf8Eci;
    } else {
        symbol->symbology = BARCODE_CODE128;
        // Code 128 holds Latin-1; zint refuses what does not convert.
        symbol->input_mode = UNICODE_MODE;
    }
    symbol->show_hrt = 0;
    symbol->output_options |= BARCODE_QUIET_ZONES;
    const QByteArray data = text.toUtf8();
    const int status = ZBarcode_Encode_and_Buffer_Vector(
        symbol.get(), reinterpret_cast<const unsigned char *>(data.constData()),
        static_cast<int>(data.size()), 0);
    if (status >= ZINT_ERROR || !symbol->vector)
        return QString::fromUtf8(symbol->errtxt);

    CodeDrawing drawing;
    drawing.size = QSizeF(symbol->vector->width, symbol->vector->height);
    drawing.module = drawing.size.width();
    for (const zint_vector_rect *rect = symbol->vector->rectangles; rect; rect = rect->next) {
        if (rect->colour == WhiteColour)
            continue;
        drawing.bars.append(QRectF(rect->x, rect->y, rect->width, rect->height));
        drawing.module = std::min<qreal>(drawing.module, rect->width);
    }
    return drawing;
}

}  // namespace pairwick::labels
