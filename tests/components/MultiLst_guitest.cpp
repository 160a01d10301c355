#include "components/MultiLstRow.h"
#include "components/ui/MultiLst.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

using namespace veltrane;

namespace {

class CountingList : public TMultiList {
  public:
    int drawn = 0;
    std::size_t maxIndex = 0;

  protected:
    void DrawItem(QPainter& p, std::size_t i, const QRect& r, bool sel, bool focus) override {
        ++drawn;
        maxIndex = std::max(maxIndex, i);
        TMultiList::DrawItem(p, i, r, sel, focus);
    }
};

void Setup(TMultiList& list) {
    list.resize(400, 200);
    list.SetColumnSeperator("\t");
    list.SetHeaderSections({"Name", "Song", "Artist"});
    list.SetSectionWidth(0, 100);
    list.SetSectionWidth(1, 100);
    list.SetColors(Qt::white, Qt::black);
}

// Pixels of data row 1 of a list holding the single item Text.
QImage RenderRow(const std::string& Text, const QPixmap& Bitmap3 = {}) {
    TMultiList list;
    Setup(list);
    if (!Bitmap3.isNull())
        list.SetListBitmap(3, Bitmap3);
    list.Strings().Add(Text);
    list.show();
    const QImage image = list.viewport()->grab().toImage();
    return image.copy(0, 18, 400, 18);
}

// Dark pixels on the top line of the row at Top, left of X (the frame is dotted black).
int FramePixels(const QImage& Image, int Top, int Right) {
    int dark = 0;
    for (int x = 0; x < std::min(Right, Image.width()); ++x)
        dark += qGray(Image.pixel(x, Top)) < 64 ? 1 : 0;
    return dark;
}

} // namespace

class MultiLstTest : public QObject {
    Q_OBJECT
  private slots:
    void headerClicksReportTheirSection() {
        TMultiList list;
        Setup(list);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QSignalSpy clicks(&list, &TMultiList::OnListHeaderClick);
        QSignalSpy doubles(&list, &TMultiList::OnListHeaderDblClick);
        TMultiListHeader* header = list.ListHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(150, 9));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(20, 9));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(350, 9));
        QCOMPARE(clicks.size(), 3);
        QCOMPARE(clicks[0][0].toInt(), 1);
        QCOMPARE(clicks[1][0].toInt(), 0);
        QCOMPARE(clicks[2][0].toInt(), 2);
        QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, QPoint(250, 9));
        QCOMPARE(doubles.size(), 1);
        QCOMPARE(doubles[0][0].toInt(), 2);
        // Right of every section counts as section 0.
        QCOMPARE(header->SectionAtX(100000), 0);
        // The last section reaches the right edge whatever its own width says.
        list.SetSectionWidth(2, 20);
        list.viewport()->repaint();
        QCOMPARE(list.ColumnEdge(2), list.viewport()->width());
        QCOMPARE(list.ColumnEdge(0), 100);
    }

    void headerWithoutSectionsReportsNothing() {
        TMultiList list;
        list.resize(300, 100);
        list.show();
        QSignalSpy clicks(&list, &TMultiList::OnListHeaderClick);
        QTest::mouseClick(list.ListHeader()->viewport(), Qt::LeftButton, {}, QPoint(10, 5));
        QCOMPARE(clicks.size(), 0);
    }

    void itemsAreCutIntoMarkerAndColumns() {
        TMultiListRow row = SplitMultiListItem(" Song.mp3\tTitle\t", '\t');
        QCOMPARE(row.Bitmap, -1);
        QCOMPARE(row.Columns.size(), std::size_t{2});
        QCOMPARE(QString::fromStdString(std::string(row.Columns[0])), QString(" Song.mp3"));
        row = SplitMultiListItem("~abc\t", '\t');
        QCOMPARE(row.Bitmap, -1);
        QCOMPARE(QString::fromStdString(std::string(row.Columns[0])), QString("abc"));
        row = SplitMultiListItem("3abc\tleft over", '\t');
        QCOMPARE(row.Bitmap, 3);
        QCOMPARE(row.Columns.size(), std::size_t{1});
        QCOMPARE(SplitMultiListItem("%x|", '|').Bitmap, 15);
        QCOMPARE(SplitMultiListItem("no separator", '\t').Columns.size(), std::size_t{0});
    }

    void markersDrawAsDescribed() {
        // "~" is neither shown nor draws a picture: the same pixels as the bare text.
        QCOMPARE(RenderRow("~abc\t"), RenderRow("abc\t"));
        // An item without a separator shows nothing in its columns.
        QCOMPARE(RenderRow("abc"), RenderRow(""));
        QVERIFY(RenderRow("abc\t") != RenderRow(""));
        // A picture marker draws the picture at (6, top), transparent where it is purple.
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::red);
        picture.setPixelColor(7, 7, QColor(128, 0, 128));
        const QImage row = RenderRow("3abc\t", QPixmap::fromImage(picture));
        QCOMPARE(row.pixelColor(6, 0), QColor(Qt::red));
        QCOMPARE(row.pixelColor(13, 7), QColor(Qt::white));
        QVERIFY(row != RenderRow("abc\t"));
    }

    void placeholderComesFirst() {
        TMultiList list;
        list.Strings().Add("a\t");
        list.Strings().Add("b\t");
        QCOMPARE(list.Items().Count(), std::size_t{3});
        QVERIFY(list.Items().ItemText(0) == kMultiListPlaceholder);
        QCOMPARE(list.ItemIndex(), std::ptrdiff_t{1});
        list.SetColumnSeperator(";:");
        QCOMPARE(list.ColumnSeperator(), ';');
        QStringList many;
        for (int i = 0; i < 20; ++i)
            many << QString::number(i);
        list.SetHeaderSections(many);
        QCOMPARE(list.HeaderSections().size(), 15);
    }

    void lockDisplayStopsPainting() {
        CountingList list;
        Setup(list);
        list.Strings().Add("a\t");
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        list.SetLockDisplay(true);
        list.drawn = 0;
        list.viewport()->repaint();
        QCOMPARE(list.drawn, 0);
        list.SetLockDisplay(false);
        list.viewport()->repaint();
        QVERIFY(list.drawn > 0);
    }

    void manyRowsPaintOnlyWhatIsVisible() {
        CountingList list;
        Setup(list);
        for (int i = 0; i < 100000; ++i)
            list.Strings().Add(" f" + std::to_string(i) + "\tt\t");
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        const int visible = list.viewport()->height() / 18 + 1;
        list.drawn = 0;
        list.SelectAll();
        list.viewport()->repaint();
        QCOMPARE(list.SelCount(), std::size_t{100000});
        QVERIFY(list.drawn <= visible);
        list.setFocus();
        QTest::keyClick(&list, Qt::Key_End);
        QCOMPARE(list.ItemIndex(), std::ptrdiff_t{100000});
        QCOMPARE(list.SelCount(), std::size_t{1});
        list.drawn = 0;
        list.viewport()->repaint();
        QVERIFY(list.drawn <= visible);
        QCOMPARE(list.maxIndex, std::size_t{100000});
    }

    void mouseSelectionKeepsAFocusedRow() {
        TMultiList list;
        Setup(list);
        for (int i = 0; i < 10; ++i)
            list.Strings().Add("r" + std::to_string(i) + "\t");
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QSignalSpy clicks(&list, &TMultiList::Click);
        auto rowPos = [&](int row) { return QPoint(50, row * 18 + 9); };
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rowPos(2));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ShiftModifier, rowPos(4));
        QCOMPARE(list.SelCount(), std::size_t{3});
        QCOMPARE(list.ItemIndex(), std::ptrdiff_t{4});
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, rowPos(3));
        QCOMPARE(list.SelCount(), std::size_t{2});
        QVERIFY(!list.Items().Selected(3));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rowPos(5));
        QCOMPARE(list.SelCount(), std::size_t{1});
        QVERIFY(list.Items().Selected(5));
        QCOMPARE(clicks.size(), 4);
        QSignalSpy dbl(&list, &TMultiList::DblClick);
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, rowPos(5));
        QCOMPARE(dbl.size(), 1);
    }

    // A right click makes the row under the pointer the one the pop-up menu acts on.
    void rightClickSelectsTheRowUnderThePointer() {
        const struct {
            std::vector<int> selected;
            int clicked;
            std::vector<int> after;
        } cases[] = {
            {{}, 3, {3}},
            {{2}, 4, {4}},
            {{2, 4, 5}, 4, {2, 4, 5}}, // inside a multi-selection: kept
            {{2, 4, 5}, 3, {3}},
            {{2}, 0, {2}}, // the placeholder under the header: nothing changes
        };
        for (const auto& c : cases) {
            TMultiList list;
            Setup(list);
            for (int i = 0; i < 10; ++i)
                list.Strings().Add("r" + std::to_string(i) + "\t");
            list.show();
            QVERIFY(QTest::qWaitForWindowExposed(&list));
            for (int row : c.selected)
                list.Items().SetSelected(std::size_t(row), true);
            list.SetItemIndex(1);
            QTest::mousePress(list.viewport(), Qt::RightButton, {}, QPoint(50, c.clicked * 18 + 9));
            std::vector<int> after;
            for (int i = 1; i < 11; ++i)
                if (list.Items().Selected(std::size_t(i)))
                    after.push_back(i);
            QCOMPARE(after, c.after);
            QCOMPARE(list.ItemIndex(), std::ptrdiff_t(c.clicked >= 1 ? c.clicked : 1));
        }
    }

    // A path too long for its column loses the middle of its folder part before its name.
    void pathsKeepTheirFileName() {
        QFont font(QStringLiteral("Liberation Mono"));
        font.setPixelSize(10);
        const QFontMetrics m(font);
        const int flags = Qt::TextSingleLine;
        const QString path = "Live Recordings/Concerts 1999/Open Mind.mp3";
        const auto width = [&](const QString& s) { return m.size(flags, s).width(); };
        const struct {
            QString text;
            int width;
            bool asPath;
            QString expected; // empty: check the rule only
        } cases[] = {
            {path, width(path), true, path},
            {path, width(path) - 1, true, {}},
            {path, width(".../Open Mind.mp3"), true, ".../Open Mind.mp3"},
            {path, width(".../Open Mi..."), true, ".../Open Mi..."},
            {path, width("Live Rec..."), false, "Live Rec..."},
            {"Open Mind.mp3", width("Open Mi..."), true, "Open Mi..."},
        };
        for (const auto& c : cases) {
            const QString shown = ElideColumnText(c.text, m, flags, c.width, c.asPath);
            QVERIFY2(width(shown) <= c.width, qPrintable(shown));
            if (!c.expected.isEmpty()) {
                QCOMPARE(shown, c.expected);
            } else {
                QVERIFY2(shown.startsWith("Live Rec") && shown.endsWith("1999/Open Mind.mp3") &&
                             shown.contains("..."),
                         qPrintable(shown));
            }
        }
    }

    void focusedRowCarriesAFrameWithoutKeyboardFocus() {
        // Rows 1 and 2 are empty columns, so every dark pixel on a top line is the frame.
        struct Case {
            bool parentHighlight;
            bool selected;
        };
        for (const Case c : {Case{false, false}, Case{false, true}, Case{true, false}}) {
            TMultiList list;
            Setup(list);
            list.SetHighlightColor(QColor(0, 0, 200));
            list.SetHighlightText(Qt::white);
            list.SetShowParentHighlight(c.parentHighlight);
            list.Strings().Add(" \t\t");
            list.Strings().Add(" \t\t");
            list.show();
            QVERIFY(QTest::qWaitForWindowExposed(&list));
            list.SetItemIndex(2);
            list.Strings().SetSelected(2, c.selected);
            list.clearFocus();
            QVERIFY(!list.hasFocus());
            const QImage image = list.viewport()->grab().toImage();
            QCOMPARE(FramePixels(image, 18, 400), 0); // row 1: no frame
            if (c.selected) {
                // White dots on the highlight.
                int light = 0;
                for (int x = 0; x < image.width(); ++x)
                    light += qGray(image.pixel(x, 36)) > 200 ? 1 : 0;
                QVERIFY2(light > 100, qPrintable(QString::number(light)));
                continue;
            }
            const int inColumn0 = FramePixels(image, 36, 101);
            QVERIFY2(inColumn0 > 20, qPrintable(QString::number(inColumn0)));
            const int beyond = FramePixels(image, 36, 400) - inColumn0;
            if (c.parentHighlight)
                QCOMPARE(beyond, 0);
            else
                QVERIFY2(beyond > 60, qPrintable(QString::number(beyond)));
        }
    }

    void mainListConfiguration() {
        TMultiList list;
        ConfigureMainFileList(list);
        QCOMPARE(list.HeaderSections().size(), 8);
        QCOMPARE(list.HeaderSections().back(), QString("#"));
        QCOMPARE(list.Alignment(7), taRightJustify);
        QCOMPARE(list.Alignment(6), taLeftJustify);
        QCOMPARE(list.ColumnSeperator(), '\t');
        QCOMPARE(list.SectionWidth(4), 40);
        QCOMPARE(list.HighlightColor(), QColor(171, 1, 141));
        QVERIFY(list.AllowAmpersand());
        QVERIFY(!list.font().family().isEmpty());
        QCOMPARE(ResolveFontFamily("Courier New") == "Courier New" ||
                     ResolveFontFamily("Courier New") == "Liberation Mono",
                 true);
    }
};

QTEST_MAIN(MultiLstTest)
#include "MultiLst_guitest.moc"
