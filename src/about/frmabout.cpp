// SPDX-License-Identifier: GPL-3.0-or-later
#include "about/frmabout.h"

#include <QMouseEvent>

#include "about/apptitle.h"
#include "about/browserlauncher.h"
#include "ui_frmabout.h"

namespace pairwick::about {

namespace {

constexpr Qt::WindowFlags DialogFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

QFont addressFont(QFont font) {
    // The address was laid out in SimSun; where that face is missing, a serif Chinese face
    // keeps its look closest.
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
                      QStringLiteral("Noto Serif CJK SC")});
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(10.5);
    font.setWeight(QFont::Normal);
    return font;
}

}  // namespace

frmAbout::frmAbout(BrowserLauncher &launcher, QWidget *parent)
    : QDialog(parent, DialogFlags), ui(std::make_unique<Ui::frmAbout>()), m_launcher(launcher) {
    ui->setupUi(this);
    setFixedSize(size());
    setAttribute(Qt::WA_DeleteOnClose);
    connect(ui->cmdOK, &QPushButton::clicked, this, &frmAbout::accept);
    prepareAddressLink();
    load();
}

frmAbout::~frmAbout() = default;

void frmAbout::load() {
    const QString title = applicationTitle();
    setWindowTitle(tr("关于 %1").arg(title));
    ui->lblTitle->setText(title);
}

void frmAbout::prepareAddressLink() {
    QLabel *address = ui->Label1;
    address->setFont(addressFont(address->font()));
    address->setAccessibleName(tr("网址 %1").arg(address->text()));
    address->setAccessibleDescription(tr("在网页浏览器中打开"));
    address->installEventFilter(this);
}

bool frmAbout::isAddressClick(QObject *watched, const QEvent *event) const {
    if (watched != ui->Label1 || event->type() != QEvent::MouseButtonRelease) {
        return false;
    }
    // Like a button, a press that is dragged off the address before release is no click.
    const auto *mouse = static_cast<const QMouseEvent *>(event);
    return mouse->button() == Qt::LeftButton &&
           ui->Label1->rect().contains(mouse->position().toPoint());
}

bool frmAbout::eventFilter(QObject *watched, QEvent *event) {
    if (isAddressClick(watched, event)) {
        openWebAddress(m_launcher, ui->Label1->text());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace pairwick::about
