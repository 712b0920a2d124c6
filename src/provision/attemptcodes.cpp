// SPDX-License-Identifier: GPL-3.0-or-later
#include "provision/attemptcodes.h"

#include <QCoreApplication>
#include <array>
#include <utility>

namespace pairwick::provision::codes {

namespace {

const QString ReadPrefix = QStringLiteral("read:");
const QString WritePrefix = QStringLiteral("write:");
const QString VerifyPrefix = QStringLiteral("verify:");

// The key of a keyed step ("write:pin"), when the code is one.
std::optional<settings::Key> keyOf(const QString &code, const QString &prefix) {
    if (!code.startsWith(prefix))
        return std::nullopt;
    return settings::keyFromName(code.mid(prefix.size()));
}

}  // namespace

QString readStep(settings::Key key) {
    return ReadPrefix + settings::keyName(key);
}
QString writeStep(settings::Key key) {
    return WritePrefix + settings::keyName(key);
}
QString verifyStep(settings::Key key) {
    return VerifyPrefix + settings::keyName(key);
}

QStringList stepCodes() {
    return {ProbeStep,
            ReadStep,
            UartReadStep,
            ReadPrefix + QStringLiteral("KEY"),
            ReserveStep,
            ValuesStep,
            WritePrefix + QStringLiteral("KEY"),
            VerifyPrefix + QStringLiteral("KEY"),
            OnPassStep,
            ResetStep,
            OtherStep};
}

QStringList errorCodes() {
    return {NoReply,         NoAdapter,       IncompleteReply, ErrorReply,
            UnreadableReply, BindNeedsMaster, ReadBackDiffers, ValuesProblem,
            PortGone,        PortFault,       Stopped,         StoppedAwaitingReply,
            LedgerFault,     OtherError};
}

bool isStepCode(const QString &code) {
    return keyOf(code, ReadPrefix) || keyOf(code, WritePrefix) || keyOf(code, VerifyPrefix) ||
           (!code.contains(u':') && stepCodes().contains(code));
}

bool isErrorCode(const QString &code) {
    return errorCodes().contains(code);
}

// The steps' and errors' words are those they had before they had codes, in the contexts that
// translated them then.
QString stepText(const QString &step) {
    if (const auto key = keyOf(step, ReadPrefix))
        return QCoreApplication::translate("pairwick::provision", "读取 %1")
            .arg(settings::keyName(*key));
    if (const auto key = keyOf(step, WritePrefix))
        return QCoreApplication::translate("pairwick::provision", "写入 %1")
            .arg(settings::keyName(*key));
    if (const auto key = keyOf(step, VerifyPrefix))
        return QCoreApplication::translate("pairwick::provision", "校验 %1")
            .arg(settings::keyName(*key));
    if (step == ProbeStep)
        return QCoreApplication::translate("pairwick::provision", "探测");
    if (step == ReadStep)
        return QCoreApplication::translate("pairwick::station", "读取");
    if (step == UartReadStep)
        return QCoreApplication::translate("pairwick::provision", "读取波特率、校验位、停止位");
    if (step == ReserveStep)
        return QCoreApplication::translate("pairwick::station", "预留编号");
    if (step == ValuesStep)
        return QCoreApplication::translate("pairwick::station", "模块的值");
    if (step == OnPassStep)
        return QCoreApplication::translate("pairwick::station", "运行通过后命令");
    if (step == ResetStep)
        return QCoreApplication::translate("pairwick::provision", "恢复出厂设置");
    return step;
}

QString errorText(const QString &error, const QString &detail) {
    if (error == NoReply)
        return QCoreApplication::translate("pairwick::provision", "%1 毫秒内没有回复").arg(detail);
    if (error == NoAdapter)
        return QCoreApplication::translate("pairwick::provision", "没有适配器回应 AT");
    if (error == IncompleteReply)
        return QCoreApplication::translate("pairwick::provision", "回复不完整：%1").arg(detail);
    if (error == ErrorReply)
        return QCoreApplication::translate("pairwick::provision", "适配器回复 %1").arg(detail);
    if (error == UnreadableReply)
        return QCoreApplication::translate("pairwick::provision", "回复无法读出：%1").arg(detail);
    if (error == BindNeedsMaster)
        return QCoreApplication::translate(
            "pairwick::provision", "适配器处于从角色，不保存绑定地址；请同时设置 role=master");
    if (error == ReadBackDiffers)
        return QCoreApplication::translate("pairwick::provision", "读回的值与写入的不同：%1")
            .arg(detail);
    if (error == ValuesProblem)
        return QCoreApplication::translate("pairwick::station", "模块的值无法形成：%1").arg(detail);
    if (error == PortGone)
        return QCoreApplication::translate("pairwick::provision", "串口设备已断开或停止响应：%1")
            .arg(detail);
    if (error == PortFault)
        return QCoreApplication::translate("pairwick::provision", "串口出错：%1").arg(detail);
    if (error == LedgerFault)
        return QCoreApplication::translate("pairwick::station", "台账出错：%1").arg(detail);
    return detail.isEmpty() ? error : detail;
}

QString errorName(const QString &error) {
    static const std::array<std::pair<const QString *, const char *>, 12> Names{{
        {&NoReply, QT_TRANSLATE_NOOP("pairwick::provision", "没有回复")},
        {&IncompleteReply, QT_TRANSLATE_NOOP("pairwick::provision", "回复不完整")},
        {&ErrorReply, QT_TRANSLATE_NOOP("pairwick::provision", "适配器拒绝了命令")},
        {&UnreadableReply, QT_TRANSLATE_NOOP("pairwick::provision", "回复无法读出")},
        {&ReadBackDiffers, QT_TRANSLATE_NOOP("pairwick::provision", "读回的值与写入的不同")},
        {&ValuesProblem, QT_TRANSLATE_NOOP("pairwick::provision", "模块的值无法形成")},
        {&PortGone, QT_TRANSLATE_NOOP("pairwick::provision", "串口设备已断开或停止响应")},
        {&PortFault, QT_TRANSLATE_NOOP("pairwick::provision", "串口出错")},
        {&Stopped, QT_TRANSLATE_NOOP("pairwick::provision", "已停止")},
        {&StoppedAwaitingReply, QT_TRANSLATE_NOOP("pairwick::provision", "停止时仍在等待回复")},
        {&LedgerFault, QT_TRANSLATE_NOOP("pairwick::provision", "台账出错")},
        {&OtherError, QT_TRANSLATE_NOOP("pairwick::provision", "其他")},
    }};
    for (const auto &[code, name] : Names)
        if (error == *code)
            return QCoreApplication::translate("pairwick::provision", name);
    return errorText(error, QString());
}

QString failureText(const QString &step, const QString &error, const QString &detail) {
    if (error == Stopped)
        return QCoreApplication::translate("pairwick::station", "在“%1”之前停止")
            .arg(stepText(step));
    if (error == StoppedAwaitingReply)
        return QCoreApplication::translate("pairwick::station", "停止前“%1”没有得到回复")
            .arg(stepText(step));
    if (error.isEmpty() && detail.isEmpty())
        return QString();
    const QString what = errorText(error, detail);
    return step.isEmpty() || step == OtherStep ? what
                                               : QStringLiteral("%1: %2").arg(stepText(step), what);
}

}  // namespace pairwick::provision::codes
