// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <optional>

#include "protocol/tokens.h"
#include "settings/adaptersettings.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace pairwick::parameters {

// The ten controls that are the adapter's parameters: there is no other record of them. Knows
// their lists, the mapping from adapter values to controls and back, and the role options'
// hold on the bound-address field.
class ParameterFields : public QObject {
    Q_OBJECT

public:
    struct Controls {
        QLineEdit *Text2;
        QLineEdit *Text3;
        QComboBox *Combo2;
        QComboBox *Combo3;
        QComboBox *Combo4;
        QRadioButton *Option1;
        QRadioButton *Option2;
        QCheckBox *Check1;
        QLineEdit *Text4;
        QLineEdit *Text5;
        QLineEdit *Text6;
    };

    explicit ParameterFields(const Controls &controls, QObject *parent = nullptr);

    void ClearParameterFields();

    // Read side: adapter value -> control. The select* functions leave the list as it was and
    // return false when the value is no entry of its table.
    // Name, version, PIN and local address, shown as cut.
    void showText(settings::Key key, const QString &value);
    bool selectBaudRate(const QString &value);
    bool selectParity(const QString &letter);
    bool selectStopBits(const QString &value);
    bool selectRole(const QString &token);
    bool selectMessages(const QString &token);
    void showBoundAddress(const QString &value);
    void lockBoundAddress();

    // Write side: control -> the argument of the key's set command.
    QString argument(settings::Key key) const;
    bool masterSelected() const;

private:
    void onMasterSelected();
    void onSlaveSelected();
    void setLockedText(QLineEdit *box, const QString &text);

    Controls m_controls;
};

}  // namespace pairwick::parameters
