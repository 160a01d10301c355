// Window test of tag code pages: an "auto" listing reads each file in its own code page, the
// editors name it, and "Convert code page" converts through its preview, refusing a file whose
// text the target cannot hold.

#include "EditingFixture.h"
#include "FakeEditingHost.h"
#include "editing/ui/ConvertCodePage.h"
#include "editing/ui/EditMP3Tag.h"
#include "editing/ui/EditMore.h"
#include "editing/ui/PreviewChanges.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

using namespace veltrane;

namespace {
const std::string kRuTitle = "\xC3\xF0\xF3\xEF\xEF\xE0 \xEA\xF0\xEE\xE2\xE8"; // Windows-1251
const std::string kRuArtist = "\xCA\xE8\xED\xEE";
} // namespace

class CodePageWindowsTest : public QObject {
    Q_OBJECT

  private slots:
    void autoListingNamesEachFilesCodePageAndConvertGoesThroughThePreview() {
        test::EditingFolder folder;
        const std::string ru = folder.Add("ru.mp3", test::Tagged(kRuTitle, kRuArtist));
        const std::string utf = folder.Add("u.mp3", test::Tagged("Caf\xC3\xA9 del Mar", "Energy 52"));
        const std::string ascii = folder.Add("a.mp3", test::Tagged("plain", "text"));
        TFileList& list = folder.List();
        list.SetCodec(TagCodec("auto"));
        folder.List();
        QCOMPARE(list.RowTag(folder.RowOf(ru)).Title, std::string("Группа крови"));
        QCOMPARE(list.RowTag(folder.RowOf(utf)).Title, std::string("Café del Mar"));
        QCOMPARE(int(list.CodePage(folder.RowOf(ru))), int(TagCodec("CP1251").Id()));
        QCOMPARE(int(list.CodePage(folder.RowOf(ascii))), 0);
        test::FakeEditingHost host(list);

        TFormEditMP3Tag editor(host);
        editor.Record = GetMP3Tag(ru, list.Codec());
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QCOMPARE(editor.LabelCodePage->text(), QString("Code page: Cyrillic (Windows-1251)"));
        QVERIFY(editor.LabelCodePage->isVisible());
        QVERIFY(editor.LabelCodePage->geometry().bottom() < editor.BitBtnSave->y());
        editor.hide();

        folder.Select({ru, utf, ascii});
        TFormEditMore more(host);
        more.show();
        QVERIFY(QTest::qWaitForWindowExposed(&more));
        QCOMPARE(more.LabelCodePage->text(),
                 QString("Code pages: Western European (Windows-1252), Cyrillic (Windows-1251), "
                         "Unicode (UTF-8)"));
        more.hide();

        // Read as each file's own code page, written in Windows-1252: the Russian file cannot
        // be, and is named; the UTF-8 one is converted.
        TFormConvertCodePage form(host);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.LabelInfo->text(), QString("converting 3 files"));
        QCOMPARE(form.ComboBoxFrom->currentData().toByteArray(), QByteArray("auto"));
        QCOMPARE(form.ComboBoxTo->currentData().toByteArray(), QByteArray("WINDOWS-1252"));
        QStringList rows;
        QTimer::singleShot(0, [&] {
            QTableWidget* table = form.Preview->TableChanges;
            for (int r = 0; r < table->rowCount(); ++r)
                rows << table->item(r, 0)->text().section('/', -1) + "|" +
                            table->item(r, 1)->text() + "|" + table->item(r, 2)->text() + "|" +
                            table->item(r, 3)->text();
            form.Preview->BitBtnApply->click();
        });
        QTest::mouseClick(form.BitBtnOK, Qt::LeftButton);
        QCOMPARE(rows, QStringList({"ru.mp3|||", "u.mp3|title|CafÃ© del Mar|Café del Mar"}));
        QTRY_VERIFY(!form.isVisible());
        const std::string bytes = folder.Dir().ReadFile("u.mp3");
        QCOMPARE(bytes.substr(bytes.size() - 125, 12), std::string("Caf\xE9 del Mar"));
        QCOMPARE(list.RowTag(folder.RowOf(utf)).Title, std::string("Café del Mar"));
        QCOMPARE(GetMP3Tag(ru).Title, std::string("Ãðóïïà êðîâè")); // left as it was
        QCOMPARE(host.errors.size(), std::size_t(1));
        QVERIFY(host.errors[0].find(ru) != std::string::npos);
    }
};

QTEST_MAIN(CodePageWindowsTest)
#include "CodePageWindows_guitest.moc"
