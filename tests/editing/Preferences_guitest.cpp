#include "editing/ui/Preferences.h"
#include "support/TestDir.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace veltrane;

class PreferencesTest : public QObject {
    Q_OBJECT

  private slots:
    void okWritesSettingsFileAndHost() {
        test::TestDir dir;
        const std::string ini = SettingsFilePath(dir.path().string());
        TSettingsHost host(ini);
        TFormPreferences form(host);
        form.FormCreate({form.BackImage});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.EditDefaultDir->text(), QString("."));
        QVERIFY(form.CheckBoxDeleteToRecycleBin->isChecked());
        QCOMPARE(form.ComboBoxDblClickAction->currentText(), QString("Edit tag"));

        // Longer than 30 characters: typed in full.
        const QString longDir = "/home/user/Music/Collections/Eighties/Synth Pop";
        form.EditDefaultDir->clear();
        QTest::keyClicks(form.EditDefaultDir, longDir);
        QCOMPARE(form.EditDefaultDir->text(), longDir);
        QTest::mouseClick(form.Label2, Qt::LeftButton);
        QVERIFY(!form.CheckBoxDeleteToRecycleBin->isChecked());
        form.ComboBoxDblClickAction->setCurrentIndex(2);
        QSignalSpy stored(&form, &TFormPreferences::PreferencesStored);
        QTest::mouseClick(form.BitBtnOK, Qt::LeftButton);

        QCOMPARE(stored.count(), 1);
        QVERIFY(!form.isVisible());
        QCOMPARE(QString::fromStdString(dir.ReadFile("Veltrane.ini")),
                 "[Preferences]\nDeleteToRecycleBin=0\nDefaultDir=" + longDir +
                     "\nDblClickActionIndex=2\n");
        const TSettings s = host.CurrentSettings();
        QVERIFY(!s.DeleteToRecycleBin);
        QCOMPARE(QString::fromStdString(s.DefaultDir), longDir);
        QCOMPARE(int(s.DblClickAction), 2);
        // Read again at the next start.
        QCOMPARE(int(ReadSettings(ini).DblClickAction), 2);
    }

    void cancelKeepsSettingsButTheBoxKeepsTheChoice() {
        test::TestDir dir;
        TSettingsHost host(SettingsFilePath(dir.path().string()), TSettings{true, "/m", 1});
        TFormPreferences form(host);
        form.FormCreate({});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.ComboBoxDblClickAction->currentIndex(), 1);
        form.ComboBoxDblClickAction->setCurrentIndex(0);
        form.CheckBoxDeleteToRecycleBin->setChecked(false);
        QTest::mouseClick(form.BitBtnCancel, Qt::LeftButton);
        QVERIFY(!form.isVisible());
        QCOMPARE(int(host.CurrentSettings().DblClickAction), 1);
        QVERIFY(!QFile::exists(QString::fromStdString(dir / "Veltrane.ini")));

        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.ComboBoxDblClickAction->currentIndex(), 0);
        QVERIFY(form.CheckBoxDeleteToRecycleBin->isChecked()); // copied in at each showing
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(!form.isVisible());
    }

    void failedWriteIsShownAndWindowStays() {
        test::TestDir dir;
        TSettingsHost host(dir / "missing/Veltrane.ini");
        TFormPreferences form(host);
        std::string shown;
        form.ShowError = [&](const std::string& text) { shown = text; };
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.CheckBoxDeleteToRecycleBin->setChecked(false);
        QTest::mouseClick(form.BitBtnOK, Qt::LeftButton);
        QCOMPARE(QString::fromStdString(shown),
                 QString::fromStdString("Unable to write to " + (dir / "missing/Veltrane.ini")));
        QVERIFY(form.isVisible());
        QVERIFY(host.CurrentSettings().DeleteToRecycleBin);
    }

    void setBackImageLoadsEveryWindow() {
        test::TestDir dir;
        const std::string picture = dir / "back.bmp";
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(QString::fromStdString(picture), "BMP"));
        TSettingsHost host(dir / "Veltrane.ini", {}, picture);
        TFormPreferences form(host);
        QLabel other;
        form.FormCreate({&other, form.BackImage});
        QVERIFY(!other.pixmap().isNull());
        QVERIFY(!form.BackImage->pixmap().isNull());

        QLabel untouched;
        form.FormCreate({&untouched});
        form.SetBackImage(QString::fromStdString(dir / "missing.bmp"));
        QVERIFY(!untouched.pixmap().isNull()); // from FormCreate; the missing file changed nothing
    }
};

QTEST_MAIN(PreferencesTest)
#include "Preferences_guitest.moc"
