// Drops on the main window, made as synthetic drag and drop events: folders open, MP3 files
// open their folder with their rows chosen, anything else is refused while it is dragged.

#include "browser/ui/main.h"
#include "support/Mp3Builder.h"
#include "support/TestDir.h"
#include "support/platform/FakeAssociations.h"
#include "support/platform/FakeFileOperations.h"
#include "support/platform/FakeProcessStarter.h"
#include "support/platform/FakeVolumes.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <memory>

using namespace veltrane;

namespace {

// A file URL from the name's bytes, so names that are not UTF-8 travel as a file manager
// sends them.
QUrl FileUrl(const std::string& path) {
    return QUrl::fromEncoded("file://" + QByteArray::fromStdString(path).toPercentEncoding("/"));
}

} // namespace

class DropOpenTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TestDir> dir_;
    test::FakeAssociations associations_;
    test::FakeFileOperations fileOps_;
    test::FakeProcessStarter processes_;
    test::FakeVolumes volumes_;
    std::vector<std::string> errors_;
    std::unique_ptr<TMainForm> form_;

    // Selected rows, by path relative to the test folder, in list order. Names in the table are
    // Latin-1 strings standing for their bytes.
    QStringList Selected() const {
        QStringList names;
        const std::string root = dir_->path().string() + "/";
        for (std::size_t i = 1; i < form_->FileList.Count(); ++i)
            if (form_->FileList.Selected(i))
                names << QString::fromStdString(form_->FileList.Row(i).Path.substr(root.size()));
        return names;
    }

  private slots:
    void init() {
        dir_ = std::make_unique<test::TestDir>();
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3", "notes.txt", "Live/x.mp3",
                                 "caf\xe9/y.mp3"})
            dir_->WriteFile(name, test::Mp3Bytes(20000, {}));
        volumes_.volumes = {{"/", "", "", "/"}};
        errors_.clear();
        TMainServices services{&associations_, &fileOps_, &processes_, &volumes_, nullptr,
                               dir_->path().string(), nullptr,
                               [this](const std::string& t) { errors_.push_back(t); }, {}, nullptr};
        form_ = std::make_unique<TMainForm>(services);
        form_->CreateWindows();
        form_->CommandLineDir = *dir_ / "Live";
        QSignalSpy filled(form_.get(), &TMainForm::ListFilled);
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
        QVERIFY(filled.count() > 0 || filled.wait(5000));
    }

    void cleanup() {
        form_.reset();
        dir_.reset();
    }

    void drop_data() {
        QTest::addColumn<QStringList>("dropped"); // relative names; "http:" a remote URL
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QString>("message");
        QTest::newRow("folder") << QStringList{"."} << true << "" << QStringList{} << "";
        const QString latin1 = QString::fromLatin1("caf\xe9"); // the bytes as they stand
        QTest::newRow("not UTF-8 folder") << QStringList{latin1} << true << latin1
                                          << QStringList{} << "";
        QTest::newRow("files") << QStringList{"c.mp3", "a.mp3"} << true << ""
                               << QStringList{"a.mp3", "c.mp3"} << "";
        QTest::newRow("the folder shown") << QStringList{"Live/x.mp3"} << true << "Live"
                                          << QStringList{"Live/x.mp3"} << "";
        QTest::newRow("file elsewhere") << QStringList{"b.mp3", "Live/x.mp3"} << true << ""
                                        << QStringList{"b.mp3"} << "Live/x.mp3";
        QTest::newRow("text file") << QStringList{"notes.txt"} << false << "Live"
                                   << QStringList{} << "";
        QTest::newRow("with a text file") << QStringList{"a.mp3", "notes.txt"} << false
                                          << "Live" << QStringList{} << "";
        QTest::newRow("remote") << QStringList{"http:"} << false << "Live" << QStringList{}
                                << "";
        QTest::newRow("missing") << QStringList{"gone.mp3"} << false << "Live" << QStringList{}
                                 << "";
    }

    void drop() {
        QFETCH(QStringList, dropped);
        QFETCH(bool, accepted);
        QFETCH(QString, folder);
        QFETCH(QStringList, selected);
        QFETCH(QString, message);
        QList<QUrl> urls;
        for (const QString& name : dropped)
            urls << (name == "http:" ? QUrl("http://example.org/a.mp3")
                                     : FileUrl(*dir_ / name.toLatin1().toStdString()));
        QMimeData data;
        data.setUrls(urls);
        const QPoint at = form_->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(form_.get(), &enter);
        QCOMPARE(enter.isAccepted(), accepted);
        QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form_.get(), &move);
        QCOMPARE(move.isAccepted(), accepted);

        QSignalSpy filled(form_.get(), &TMainForm::ListFilled);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form_.get(), &drop);
        QCOMPARE(drop.isAccepted(), accepted);
        if (accepted)
            QVERIFY(filled.wait(5000));
        else
            QTest::qWait(50); // nothing is listed
        QCOMPARE(filled.count(), accepted ? 1 : 0);
        const std::string want = folder.isEmpty() ? dir_->path().string()
                                                  : *dir_ / folder.toLatin1().toStdString();
        QCOMPARE(form_->CurrentDirectory(), want);
        QCOMPARE(Selected(), selected);
        if (!selected.isEmpty()) {
            const auto focus = static_cast<std::size_t>(form_->FileList.ItemIndex());
            QCOMPARE(form_->FileList.Row(focus).Path, *dir_ / dropped.front().toLatin1().toStdString());
        }
        QCOMPARE(errors_.size(), std::size_t(message.isEmpty() ? 0 : 1));
        if (!message.isEmpty())
            QVERIFY(errors_[0].find(message.toStdString()) != std::string::npos);
    }

    // "Open with" on several files: the first one's folder, every file of it chosen.
    void commandLineFiles() {
        form_.reset();
        TMainServices services{&associations_, &fileOps_, &processes_, &volumes_, nullptr,
                               dir_->path().string(), nullptr,
                               [this](const std::string& t) { errors_.push_back(t); }, {}, nullptr};
        form_ = std::make_unique<TMainForm>(services);
        form_->CreateWindows();
        form_->OpenPaths({"Live/x.mp3", "c.mp3", "Live/../b.mp3", "Live/x.mp3"});
        QSignalSpy filled(form_.get(), &TMainForm::ListFilled);
        form_->show();
        QVERIFY(filled.wait(5000));
        QCOMPARE(form_->CurrentDirectory(), *dir_ / "Live");
        QCOMPARE(Selected(), QStringList{"Live/x.mp3"});
        QCOMPARE(errors_.size(), std::size_t(1));
        QVERIFY(errors_[0].find("c.mp3\nLive/../b.mp3") != std::string::npos);
    }
};

QTEST_MAIN(DropOpenTest)
#include "DropOpen_guitest.moc"
