// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/framestyle.h"

#include <QPainter>
#include <QStyleOptionGroupBox>

namespace pairwick::window {

namespace {

constexpr int LineTop = 7;
constexpr int CaptionLeft = 7;
constexpr int CaptionPadding = 4;

}  // namespace

QRect FrameStyle::subControlRect(ComplexControl control, const QStyleOptionComplex *option,
                                 SubControl part, const QWidget *widget) const {
    const auto *box = qstyleoption_cast<const QStyleOptionGroupBox *>(option);
    if (control != CC_GroupBox || !box)
        return QProxyStyle::subControlRect(control, option, part, widget);
    const QRect frame = box->rect.adjusted(0, LineTop, 0, 0);
    switch (part) {
        case SC_GroupBoxFrame:
            return frame;
        case SC_GroupBoxContents:
            return frame.adjusted(1, 1, -1, -1);
        case SC_GroupBoxLabel:
            return {box->rect.left() + CaptionLeft, box->rect.top(),
                    box->fontMetrics.horizontalAdvance(box->text) + 2 * CaptionPadding,
                    box->fontMetrics.height()};
        default:
            return QProxyStyle::subControlRect(control, option, part, widget);
    }
}

void FrameStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                    QPainter *painter, const QWidget *widget) const {
    const auto *box = qstyleoption_cast<const QStyleOptionGroupBox *>(option);
    if (control != CC_GroupBox || !box) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    const QRect caption = subControlRect(control, option, SC_GroupBoxLabel, widget);
    painter->save();
    painter->setClipRegion(QRegion(box->rect).subtracted(caption));
    painter->setPen(box->palette.color(QPalette::Mid));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(
        subControlRect(control, option, SC_GroupBoxFrame, widget).adjusted(0, 0, -1, -1));
    painter->restore();
    drawItemText(painter, caption.adjusted(CaptionPadding, 0, -CaptionPadding, 0),
                 Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, box->palette,
                 box->state.testFlag(State_Enabled), box->text, QPalette::WindowText);
}

}  // namespace pairwick::window
