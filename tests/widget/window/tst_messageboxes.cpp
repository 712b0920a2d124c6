// SPDX-License-Identifier: GPL-3.0-or-later
// The three message-box styles as the user sees them.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include "feedback/qtmessageboxes.h"
#include "i18n/translation.h"

using pairwick::feedback::QtMessageBoxes;
using pairwick::i18n::Language;

Q_DECLARE_METATYPE(Language)

namespace {

struct Seen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    bool modal = false;
    // The captions of the buttons, in the order OK, Cancel, Yes, No.
    QStringList captions;
};

// Once the box is up, notes what it shows, then presses `press` (Escape for NoButton).
void inspectThenPress(Seen &seen, QMessageBox::StandardButton press) {
    QTimer::singleShot(0, [&seen, press] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        seen = {box->windowTitle(),
                box->text(),
                box->icon(),
                box->standardButtons(),
                box->standardButton(box->defaultButton()),
                box->isModal(),
                {}};
        for (auto button :
             {QMessageBox::Ok, QMessageBox::Cancel, QMessageBox::Yes, QMessageBox::No}) {
            if (box->button(button))
                seen.captions.append(box->button(button)->text());
        }
        if (press == QMessageBox::NoButton)
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->button(press)->click();
    });
}

}  // namespace

class TestMessageBoxes : public QObject {
    Q_OBJECT

private slots:
    void warningHasExclamationAndOk();
    void confirmationAnswers_data();
    void confirmationAnswers();
    void continueQuestionAnswers_data();
    void continueQuestionAnswers();
    void buttonsSpeakTheInterfaceLanguage_data();
    void buttonsSpeakTheInterfaceLanguage();
};

void TestMessageBoxes::warningHasExclamationAndOk() {
    QtMessageBoxes boxes;
    Seen seen;
    inspectThenPress(seen, QMessageBox::Ok);
    boxes.warning(QStringLiteral("请先点击“连接”按钮！"));
    QCOMPARE(seen.title, QStringLiteral("Pairwick"));
    QCOMPARE(seen.text, QStringLiteral("请先点击“连接”按钮！"));
    QCOMPARE(seen.icon, QMessageBox::Warning);
    QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(seen.defaultButton, QMessageBox::Ok);
    QVERIFY(seen.modal);
}

void TestMessageBoxes::confirmationAnswers_data() {
    QTest::addColumn<int>("press");
    QTest::addColumn<bool>("answer");
    QTest::newRow("OK") << int(QMessageBox::Ok) << true;
    QTest::newRow("Cancel") << int(QMessageBox::Cancel) << false;
    QTest::newRow("Escape") << int(QMessageBox::NoButton) << false;
}

void TestMessageBoxes::confirmationAnswers() {
    QFETCH(int, press);
    QFETCH(bool, answer);
    QtMessageBoxes boxes;
    Seen inner;
    inspectThenPress(inner, QMessageBox::StandardButton(press));
    QCOMPARE(boxes.confirm(QStringLiteral("确认保存设置吗？")), answer);
    QCOMPARE(inner.title, QStringLiteral("Pairwick"));
    QCOMPARE(inner.icon, QMessageBox::NoIcon);
    QCOMPARE(inner.buttons, QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(inner.defaultButton, QMessageBox::Ok);
}

void TestMessageBoxes::continueQuestionAnswers_data() {
    QTest::addColumn<int>("press");
    QTest::addColumn<bool>("answer");
    QTest::newRow("Yes") << int(QMessageBox::Yes) << true;
    QTest::newRow("No") << int(QMessageBox::No) << false;
}

void TestMessageBoxes::continueQuestionAnswers() {
    QFETCH(int, press);
    QFETCH(bool, answer);
    QtMessageBoxes boxes;
    Seen inner;
    inspectThenPress(inner, QMessageBox::StandardButton(press));
    QCOMPARE(boxes.askContinue(QStringLiteral("读取 [设备名称] 时失败，是否继续？")), answer);
    QCOMPARE(inner.title, QStringLiteral("Pairwick"));
    QCOMPARE(inner.text, QStringLiteral("读取 [设备名称] 时失败，是否继续？"));
    QCOMPARE(inner.icon, QMessageBox::NoIcon);
    QCOMPARE(inner.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(inner.defaultButton, QMessageBox::Yes);
}

void TestMessageBoxes::buttonsSpeakTheInterfaceLanguage_data() {
    QTest::addColumn<Language>("language");
    QTest::addColumn<bool>("question");
    QTest::addColumn<QStringList>("captions");
    QTest::newRow("Chinese OK/Cancel") << Language::Chinese << false << QStringList{"确定", "取消"};
    QTest::newRow("Chinese Yes/No") << Language::Chinese << true << QStringList{"是", "否"};
    QTest::newRow("English OK/Cancel") << Language::English << false << QStringList{"OK", "Cancel"};
    QTest::newRow("English Yes/No") << Language::English << true << QStringList{"Yes", "No"};
}

void TestMessageBoxes::buttonsSpeakTheInterfaceLanguage() {
    QFETCH(Language, language);
    QFETCH(bool, question);
    QFETCH(QStringList, captions);
    const auto translation = pairwick::i18n::installTranslation(language);
    QtMessageBoxes boxes;
    Seen seen;
    inspectThenPress(seen, QMessageBox::NoButton);
    if (question)
        boxes.askContinue(QStringLiteral("是否继续？"));
    else
        boxes.confirm(QStringLiteral("继续吗？"));
    QCOMPARE(seen.captions, captions);
    QCOMPARE(seen.title, QStringLiteral("Pairwick"));
}

QTEST_MAIN(TestMessageBoxes)
#include "tst_messageboxes.moc"
