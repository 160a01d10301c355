#include "editing/ui/Preferences.h"
#include "support/TestDir.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
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

    // The second page: only changed keys are written, an unknown code page survives, Cancel
    // stores nothing, and what OK stored reads back the same.
    void morePageStoresChangedKeysAndReloads() {
        test::TestDir dir;
        const std::string ini = dir.WriteFile(
            "Veltrane.ini", "[Preferences]\nTagCodePage=koi8-r\n[Preview]\nTagsFromNames=0\n");
        TSettingsHost host(ini);
        host.SetMorePreferences(ReadMorePreferences(ini));
        TFormPreferences form(host);
        form.FormCreate({});
        std::string shown;
        form.ShowError = [&](const std::string& text) { shown = text; };
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(!form.PageMore->isVisible());
        QTest::mouseClick(form.TabBarPages, Qt::LeftButton, {},
                          form.TabBarPages->tabRect(1).center());
        QTRY_VERIFY(form.PageMore->isVisible());
        QVERIFY(!form.PageGeneral->isVisible());
        QVERIFY(form.CheckBoxClearReadOnly->isChecked());
        QVERIFY(!form.CheckBoxPreviewTagsFromNames->isChecked());
        QVERIFY(form.CheckBoxPreviewImportTags->isChecked());
        QCOMPARE(form.ComboBoxTagCodePage->currentText(), QString("koi8-r"));

        QTest::mouseClick(form.CheckBoxSyncID3v2, Qt::LeftButton);
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(!form.isVisible());
        QVERIFY(!host.MorePreferences().SyncID3v2);

        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(!form.CheckBoxSyncID3v2->isChecked()); // copied in at each showing
        QTest::mouseClick(form.CheckBoxClearReadOnly, Qt::LeftButton);
        QTest::mouseClick(form.CheckBoxShowAudio, Qt::LeftButton);
        QTest::mouseClick(form.CheckBoxPreviewTagsFromNames, Qt::LeftButton);
        QTest::mouseClick(form.CheckBoxPreviewRenameFromTags, Qt::LeftButton);
        form.ComboBoxTagCodePage->setCurrentIndex(
            form.ComboBoxTagCodePage->findText("Windows-1252"));
        QTest::mouseClick(form.BitBtnOK, Qt::LeftButton);
        QCOMPARE(QString::fromStdString(shown), QString());
        QVERIFY(!form.isVisible());
        const std::string text = dir.ReadFile("Veltrane.ini");
        QVERIFY(text.find("ClearReadOnly=0\n") != std::string::npos);
        QVERIFY(text.find("ShowAudio=1\n") != std::string::npos);
        QVERIFY(text.find("SyncID3v2") == std::string::npos);
        QVERIFY(text.find("TagCodePage") == std::string::npos); // the default is no key
        QVERIFY(text.find("[Preview]\nTagsFromNames=1\nRenameFromTags=0\n") != std::string::npos);
        QVERIFY(text.find("ImportTags") == std::string::npos);
        TMorePreferences expected;
        expected.ClearReadOnly = false;
        expected.ShowAudio = true;
        expected.PreviewRenameFromTags = false;
        QVERIFY(host.MorePreferences() == expected);
        QVERIFY(ReadMorePreferences(ini) == expected);

        // A failed write leaves the host as it was.
        TSettingsHost lost(dir / "missing/Veltrane.ini");
        TFormPreferences other(lost);
        other.ShowError = [&](const std::string& text) { shown = text; };
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        other.CheckBoxSyncID3v2->setChecked(true);
        QTest::mouseClick(other.BitBtnOK, Qt::LeftButton);
        QCOMPARE(QString::fromStdString(shown),
                 QString::fromStdString("Unable to write to " + (dir / "missing/Veltrane.ini")));
        QVERIFY(!lost.MorePreferences().SyncID3v2);
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
