// SPDX-License-Identifier: GPL-3.0-or-later
#include "parameters/parameterfields.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include "protocol/commands.h"

namespace pairwick::parameters {

namespace {

// Editable fields sit on the window background, read-only ones on the button face; both are the
// platform's colours, not fixed values.
void setEditable(QLineEdit *box, bool editable) {
    QPalette palette = box->palette();
    const QPalette system = QApplication::palette();
    palette.setColor(QPalette::Base, system.color(editable ? QPalette::Base : QPalette::Button));
    box->setPalette(palette);
    box->setReadOnly(!editable);
}

void fillList(QComboBox *list, const QStringList &entries) {
    list->clear();
    list->addItems(entries);
    list->setCurrentIndex(-1);
}

bool selectEntry(QComboBox *list, const QStringList &tokens, const QString &value) {
    const qsizetype position = protocol::findToken(tokens, value);
    if (position < 0)
        return false;
    list->setCurrentIndex(static_cast<int>(position));
    return true;
}

// An exclusive pair refuses to lose its checked button; "neither" is a real state here.
void unselect(QRadioButton *option) {
    option->setAutoExclusive(false);
    option->setChecked(false);
    option->setAutoExclusive(true);
}

}  // namespace

ParameterFields::ParameterFields(const Controls &controls, QObject *parent)
    : QObject(parent), m_controls(controls) {
    fillList(m_controls.Combo2, protocol::baudRateEntries());
    fillList(m_controls.Combo3, protocol::parityEntries());
    fillList(m_controls.Combo4, protocol::stopBitEntries());
    setEditable(m_controls.Text3, false);
    setEditable(m_controls.Text5, false);
    setEditable(m_controls.Text6, true);
    connect(m_controls.Option1, &QRadioButton::toggled, this, [this](bool selected) {
        if (selected)
            onMasterSelected();
    });
    connect(m_controls.Option2, &QRadioButton::toggled, this, [this](bool selected) {
        if (selected)
            onSlaveSelected();
    });
}

void ParameterFields::ClearParameterFields() {
    m_controls.Text2->clear();
    setLockedText(m_controls.Text3, QString());
    fillList(m_controls.Combo2, protocol::baudRateEntries());
    fillList(m_controls.Combo3, protocol::parityEntries());
    fillList(m_controls.Combo4, protocol::stopBitEntries());
    unselect(m_controls.Option1);
    unselect(m_controls.Option2);
    m_controls.Check1->setCheckState(Qt::Unchecked);
    m_controls.Text4->clear();
    setLockedText(m_controls.Text5, QString());
    m_controls.Text6->clear();
}

void ParameterFields::setLockedText(QLineEdit *box, const QString &text) {
    box->setText(text);
    box->setReadOnly(true);
}

void ParameterFields::showText(settings::Key key, const QString &value) {
    switch (key) {
        case settings::Key::Name:
            m_controls.Text2->setText(value);
            break;
        case settings::Key::Version:
            setLockedText(m_controls.Text3, value);
            break;
        case settings::Key::Pin:
            m_controls.Text4->setText(value);
            break;
        case settings::Key::Address:
            setLockedText(m_controls.Text5, value);
            break;
        default:
            break;
    }
}

bool ParameterFields::selectBaudRate(const QString &value) {
    return selectEntry(m_controls.Combo2, protocol::baudRateEntries(), value);
}

bool ParameterFields::selectParity(const QString &letter) {
    return selectEntry(m_controls.Combo3, protocol::parityLetters(), letter);
}

bool ParameterFields::selectStopBits(const QString &value) {
    return selectEntry(m_controls.Combo4, protocol::stopBitEntries(), value);
}

bool ParameterFields::selectRole(const QString &token) {
    const std::optional<protocol::Role> role = protocol::roleFromToken(token);
    if (!role)
        return false;
    if (*role == protocol::Role::Slave) {
        unselect(m_controls.Option1);
        m_controls.Option2->setChecked(true);
    } else {
        m_controls.Option1->setChecked(true);
        unselect(m_controls.Option2);
    }
    return true;
}

bool ParameterFields::selectMessages(const QString &token) {
    const std::optional<bool> enabled = protocol::messagesEnabledFromToken(token);
    if (!enabled)
        return false;
    m_controls.Check1->setCheckState(*enabled ? Qt::Checked : Qt::Unchecked);
    return true;
}

void ParameterFields::showBoundAddress(const QString &value) {
    setEditable(m_controls.Text6, true);
    m_controls.Text6->setText(value);
}

void ParameterFields::lockBoundAddress() {
    m_controls.Text6->clear();
    setEditable(m_controls.Text6, false);
}

void ParameterFields::onMasterSelected() {
    setEditable(m_controls.Text6, true);
}

void ParameterFields::onSlaveSelected() {
    lockBoundAddress();
}

QString ParameterFields::argument(settings::Key key) const {
    switch (key) {
        case settings::Key::Name:
            return protocol::textArgument(m_controls.Text2->text());
        case settings::Key::Baud:
            return protocol::trimSpaces(m_controls.Combo2->currentText());
        case settings::Key::Parity:
            return protocol::parityArgument(m_controls.Combo3->currentText());
        case settings::Key::Stop:
            return protocol::trimSpaces(m_controls.Combo4->currentText());
        case settings::Key::Role:
            return protocol::flagArgument(masterSelected());
        case settings::Key::Messages:
            return protocol::flagArgument(m_controls.Check1->checkState() == Qt::Checked);
        case settings::Key::Pin:
            return protocol::textArgument(m_controls.Text4->text());
        case settings::Key::Bind:
            return protocol::textArgument(m_controls.Text6->text());
        default:
            return QString();
    }
}

bool ParameterFields::masterSelected() const {
    return m_controls.Option1->isChecked();
}

}  // namespace pairwick::parameters
