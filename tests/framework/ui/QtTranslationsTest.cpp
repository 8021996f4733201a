// Qt's own Japanese texts: the standard buttons of a message box read as the rest of the
// program does.
#include "framework/ui/QtTranslations.h"

#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

using namespace tavora;

class QtTranslationsTest : public QObject {
    Q_OBJECT

private slots:
    void standardButtonsAreJapanese() {
        QVERIFY2(framework::ui::installQtJapaneseTranslations(*QCoreApplication::instance()),
                 qPrintable("no qtbase_ja in " + framework::ui::qtTranslationsPath()));
        QMessageBox box(QMessageBox::Warning, "ソフトウエア更新", "よろしいですか?",
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::Ok);
        const std::pair<QMessageBox::StandardButton, QString> expected[] = {
            {QMessageBox::Yes, "はい"},
            {QMessageBox::No, "いいえ"},
            {QMessageBox::Cancel, "キャンセル"},
            {QMessageBox::Ok, "OK"}};
        for (const auto& [which, text] : expected) {
            QAbstractButton* button = box.button(which);
            QVERIFY(button);
            // Mnemonics ("はい(&Y)") are not part of what the button reads.
            QString shown = button->text();
            shown.remove('&');
            shown.remove(QRegularExpression("\\([A-Za-z]\\)$"));
            QCOMPARE(shown, text);
        }
    }
};

QTEST_MAIN(QtTranslationsTest)
#include "QtTranslationsTest.moc"
