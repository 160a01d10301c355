// The About window opened from the main window, with the module player registered through
// mimeapps.list and a faked sound server: one player per opening and none left running, the
// LEDs following the meter, and the invitation when no player is registered.

#include "browser/ui/main.h"
#include "components/ui/AMAdvLed.h"
#include "components/About.h"
#include "components/ui/About.h"
#include "components/ui/Banner.h"
#include "components/ui/LightSpd.h"
#include "platform/Associations.h"
#include "platform/FileOperations.h"
#include "platform/ProcessStarter.h"
#include "support/platform/FakePeakMeter.h"
#include "support/platform/FakeVolumes.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

using namespace veltrane;
namespace fs = std::filesystem;

namespace {

QTemporaryDir* gRoot = nullptr;

std::string RootPath(const std::string& sub) {
    return gRoot->path().toStdString() + "/" + sub;
}

void WriteText(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool Runs(const std::string& pid) {
    std::ifstream in("/proc/" + pid + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), {});
    const auto close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z';
}

// A program registered for a MIME type: a wrapper that logs its arguments and the process id
// of the real player it starts (a sleep), then waits for it.
void Register(const std::string& name, const std::string& mime) {
    const std::string script = RootPath("bin/" + name);
    const std::string log = RootPath(name + ".log");
    WriteText(script, "#!/bin/sh\nsleep 60 >/dev/null 2>&1 &\necho \"$* $!\" >> '" + log + "'\nwait\n");
    fs::permissions(script, fs::perms::owner_all);
    WriteText(RootPath("data/applications/" + name + ".desktop"),
              "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + script +
                  " %f\nMimeType=" + mime + ";\n");
}

} // namespace

class AboutTest : public QObject {
    Q_OBJECT

    platform::GioAssociations associations_;
    platform::LinuxFileOperations fileOps_;
    platform::LinuxProcessStarter processes_;
    test::FakeVolumes volumes_;
    test::FakePeakMeter meter_;
    std::vector<std::string> errors_;

    std::unique_ptr<TMainForm> Start() {
        TMainServices services;
        services.Associations = &associations_;
        services.FileOperations = &fileOps_;
        services.Processes = &processes_;
        services.Volumes = &volumes_;
        services.PeakMeter = &meter_;
        services.StartDirectory = RootPath("start");
        services.ShowError = [this](const std::string& t) { errors_.push_back(t); };
        auto form = std::make_unique<TMainForm>(services);
        form->CreateWindows();
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            return nullptr;
        return form;
    }

    static int LitLeds(const std::array<TAMAdvLed*, 10>& row) {
        int lit = 0;
        for (TAMAdvLed* led : row)
            lit += led->LedOn() ? 1 : 0;
        return lit;
    }

  private slots:
    void init() {
        errors_.clear();
        meter_ = test::FakePeakMeter();
    }

    void noModulePlayerShowsTheInvitation() {
        Register("browser", "text/html");
        WriteText(RootPath("config/mimeapps.list"),
                  "[Default Applications]\ntext/html=browser.desktop\n");
        meter_.serverPresent = false;
        auto form = Start();
        QVERIFY(form);
        QVERIFY(form->ModPlayerCommand.empty());
        QVERIFY(form->ToolbarButton97About->isEnabled());
        form->ToolbarButton97About->click();
        TFormAbout* about = form->FormAbout;
        QTRY_VERIFY(about->isVisible());
        QVERIFY(about->BannerNoModPlayer->isVisible());
        QVERIFY(about->BannerNoModPlayer->Enabled());
        QVERIFY(!about->LedLeft[0]->isVisible());
        QVERIFY(!about->LedRight[9]->isVisible());
        QVERIFY(about->Banner->Enabled());
        QVERIFY(about->LightSpeed->Active());
        QCOMPARE(errors_, std::vector<std::string>{"No Wave Devices to open"});

        // The invitation opens the player's page in the browser; closing leaves that running.
        QTest::mouseClick(about->BannerNoModPlayer, Qt::LeftButton);
        QTRY_COMPARE(ReadLines(RootPath("browser.log")).size(), std::size_t(1));
        const std::string line = ReadLines(RootPath("browser.log"))[0];
        QVERIFY(line.rfind("https://xmp.sourceforge.net/ ", 0) == 0);
        about->close();
        QVERIFY(!about->Banner->Enabled());
        QVERIFY(!about->BannerNoModPlayer->Enabled());
        QVERIFY(!about->LightSpeed->Active());
        const std::string browser = line.substr(line.rfind(' ') + 1);
        QVERIFY(Runs(browser));
        ::kill(std::stoi(browser), SIGTERM);
        QCOMPARE(errors_.size(), std::size_t(1));
    }

    // A click on the invitation never does nothing: without a browser it names the page.
    void theInvitationSaysWhenNoBrowserOpensIt() {
        TExecFile playFile(processes_, associations_);
        TFormAbout about(playFile, meter_);
        about.ShowMessage = [this](const std::string& t) { errors_.push_back(t); };
        meter_.serverPresent = false;
        for (const auto& [browser, failed] : {std::pair<std::string, bool>{"", false},
                                              std::pair<std::string, bool>{RootPath("none"), true}}) {
            errors_.clear();
            about.BrowserCommand = browser;
            about.show();
            QVERIFY(QTest::qWaitForWindowExposed(&about));
            QVERIFY(about.BannerNoModPlayer->isVisible());
            QTest::mouseClick(about.BannerNoModPlayer, Qt::LeftButton);
            QCOMPARE(errors_, (std::vector<std::string>{"No Wave Devices to open",
                                                        NoBrowserMessage(failed)}));
            QVERIFY(NoBrowserMessage(failed).find("https://xmp.sourceforge.net/") !=
                    std::string::npos);
            about.close();
        }
    }

    void playsTheTuneOncePerOpeningAndEndsIt() {
        Register("modplayer", "audio/x-mod");
        WriteText(RootPath("config/mimeapps.list"),
                  "[Default Applications]\naudio/x-mod=modplayer.desktop\n");
        auto form = Start();
        QVERIFY(form);
        QVERIFY(!form->ModPlayerCommand.empty());
        TFormAbout* about = form->FormAbout;
        const std::string tune = form->FileSourceSoundFile.FileName();
        QVERIFY(!tune.empty());
        const std::string log = RootPath("modplayer.log");
        for (int i = 1; i <= 5; ++i) {
            form->ToolbarButton97About->click();
            QTRY_VERIFY(about->isVisible());
            QVERIFY(about->LedLeft[0]->isVisible());
            QVERIFY(!about->BannerNoModPlayer->isVisible());
            QTRY_COMPARE(ReadLines(log).size(), std::size_t(i));
            QCOMPARE(meter_.opens, i);
            about->close();
            QCOMPARE(meter_.closes, i);
            QVERIFY(!meter_.open);
        }
        for (const std::string& line : ReadLines(log)) {
            QCOMPARE(line.substr(0, tune.size() + 1), tune + " ");
            QVERIFY2(!Runs(line.substr(line.rfind(' ') + 1)), line.c_str());
        }
        QVERIFY(errors_.empty());

        // Closing the program with the window open ends the tune too.
        form->ToolbarButton97About->click();
        QTRY_COMPARE(ReadLines(log).size(), std::size_t(6));
        form->close();
        const std::string last = ReadLines(log).back();
        QVERIFY(!Runs(last.substr(last.rfind(' ') + 1)));

        // An end signal ends the program without closing its windows: the tune ends as well.
        form = Start();
        QVERIFY(form);
        form->ToolbarButton97About->click();
        QTRY_COMPARE(ReadLines(log).size(), std::size_t(7));
        form.reset();
        const std::string ended = ReadLines(log).back();
        QVERIFY(!Runs(ended.substr(ended.rfind(' ') + 1)));
    }

    void ledsFollowTheMeter() {
        auto form = Start();
        QVERIFY(form);
        TFormAbout* about = form->FormAbout;
        form->ToolbarButton97About->click();
        QTRY_VERIFY(about->isVisible());
        meter_.readings = {{1.0f, 0.1f}, {0.0f, 0.0f}};
        QSignalSpy changes(about->LedLeft[0], &TAMAdvLed::OnLedStateChanged);
        about->BannerScroll();
        QCOMPARE(LitLeds(about->LedLeft), 9); // 182: never the tenth
        QCOMPARE(LitLeds(about->LedRight), 0); // 18
        QVERIFY(about->LedLeft[8]->LedOn());
        about->BannerScroll();
        QCOMPARE(LitLeds(about->LedLeft), 0);
        QCOMPARE(changes.count(), 2);
        QCOMPARE(changes.at(1).at(2).toInt(), 2);
        // The banner's own steps read the meter.
        meter_.readings = std::deque<std::vector<float>>(200, {0.5f, 0.5f});
        QTRY_COMPARE(LitLeds(about->LedRight), 4); // 91
        about->close();
    }
};

int main(int argc, char** argv) {
    QTemporaryDir root;
    gRoot = &root;
    for (const char* sub : {"home", "data", "config", "cache", "start"})
        QDir().mkpath(root.path() + "/" + sub);
    qputenv("HOME", (root.path() + "/home").toUtf8());
    qputenv("XDG_DATA_HOME", (root.path() + "/data").toUtf8());
    qputenv("XDG_CONFIG_HOME", (root.path() + "/config").toUtf8());
    qputenv("XDG_CACHE_HOME", (root.path() + "/cache").toUtf8());
    qputenv("XDG_CURRENT_DESKTOP", "");
    QDir::setCurrent(root.path() + "/start");
    QApplication app(argc, argv);
    AboutTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "About_guitest.moc"
