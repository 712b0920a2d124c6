// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class frmAbout;
}

namespace pairwick::about {

class BrowserLauncher;

// The program's information box: title, logo, the maker's address and a legal notice.
// It deletes itself when closed, so whoever shows it holds it by QPointer.
// The launcher is borrowed and must outlive the dialog.
class frmAbout final : public QDialog {
    Q_OBJECT

public:
    explicit frmAbout(BrowserLauncher &launcher, QWidget *parent = nullptr);
    ~frmAbout() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void load();
    void prepareAddressLink();
    bool isAddressClick(QObject *watched, const QEvent *event) const;

    std::unique_ptr<Ui::frmAbout> ui;
    BrowserLauncher &m_launcher;
};

}  // namespace pairwick::about
