// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProxyStyle>

namespace pairwick::window {

// The window's frames: a one-pixel line in the palette's mid colour, with the caption sitting on
// its top line, so the controls keep their places inside it. A style rather than a style sheet,
// which would parse and match rules for every control in the frames at start-up.
class FrameStyle : public QProxyStyle {
public:
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl part,
                         const QWidget *widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                            QPainter *painter, const QWidget *widget = nullptr) const override;
};

}  // namespace pairwick::window
