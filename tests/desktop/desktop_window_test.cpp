// The wacky-throats window, its real panels on the real plugin, against the private
// PipeWire session desktop-test.sh starts (offscreen platform). Each test function is one
// behaviour; desktop-test.sh names the ones a scenario runs and hands over, through the
// environment, the plugin (WT_PLUGIN), a work folder (WT_WORK) and where the screenshot
// goes (WT_SCREENSHOT).

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "tools/desktop/app_core.h"
#include "tools/desktop/app_settings.h"
#include "tools/desktop/autostart.h"
#include "tools/desktop/main_window.h"
#include "tools/desktop/single_instance.h"
#include "tools/session/menu_choice.h"

namespace wt::desktop {

namespace {

constexpr int kEngineMs = 30000;  // a server's start, or the session manager's first links
constexpr int kLoudDb = -20;      // the voice's loud parts, well above its pauses

// The application as main() makes it: the saved choices under `args`.
struct App {
    std::unique_ptr<AppCore> core;
    std::unique_ptr<MainWindow> window;

    // `start`: false to watch the core's signals before the engine starts.
    App(std::vector<std::string> args, bool engine, bool start = true) {
        if (std::find(args.begin(), args.end(), "--plugin") == args.end())
            args.insert(args.end(), {"--plugin", qEnvironmentVariable("WT_PLUGIN").toStdString()});
        std::vector<const char*> argv{"wacky-throats"};
        for (const std::string& arg : args) argv.push_back(arg.c_str());
        const live::Options given = live::parseOptions(static_cast<int>(argv.size()), argv.data());
        const SavedChoices saved = loadChoices();
        bool ignored = false;
        core = std::make_unique<AppCore>(optionsOver(saved, args, &ignored), given, engine);
        window = std::make_unique<MainWindow>(*core, saved);
        window->show();
        if (start) core->start();
    }

    ~App() {
        window.reset();
        core.reset();
    }

    bool running() const { return core->engine()->state() == live::EngineState::Running; }

    QPushButton* effectButton(const QString& text) const {
        for (QPushButton* button : window->effects()->effectButtons())
            if (button->text() == text) return button;
        return nullptr;
    }
};

QString work(const QString& name) {
    return qEnvironmentVariable("WT_WORK") + "/" + name;
}

// The shell's side of a handshake: a file it touches.
bool waitForFile(const QString& path, int ms) {
    return QTest::qWaitFor([&] { return QFileInfo::exists(path); }, ms);
}

void touch(const QString& path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

QCheckBox* checkBox(const QWidget& window, const QString& textStart) {
    for (QCheckBox* box : window.findChildren<QCheckBox*>())
        if (box->text().startsWith(textStart)) return box;
    return nullptr;
}

bool listed(const InputPicker& picker, const std::string& name) {
    return picker.findData(QString::fromStdString(name)) >= 0;
}

}  // namespace

class DesktopWindowTest : public QObject {
    Q_OBJECT

  private slots:

    // Each test starts from no saved choices.
    void init() { QFile::remove(settingsPath()); }

    void buttonsAreThePluginsMenu() {
        const App app({}, false);
        QStringList effects;
        QStringList strengths;
        for (const session::MenuEntry& entry : app.core->plugin()->menu())
            (session::isStrengthItem(entry) ? strengths : effects)
                << QString::fromStdString(entry.text);
        QStringList buttons;
        for (const QPushButton* button : app.window->effects()->effectButtons())
            buttons << button->text();
        QCOMPARE(buttons, effects);
        for (const QString& text : strengths) {
            QPushButton* press = nullptr;
            for (QPushButton* b : app.window->findChildren<QPushButton*>())
                if (b->text() == text) press = b;
            QVERIFY2(press != nullptr, qPrintable(text));
        }
        // Pressed, the button is checked and the plugin's effect follows.
        QPushButton* robot = app.effectButton("Robot");
        QVERIFY(robot != nullptr);
        QTest::mouseClick(robot, Qt::LeftButton);
        QVERIFY(robot->isChecked());
        QCOMPARE(app.core->control()->effect(), std::string("Robot"));
        QCOMPARE(std::count_if(buttons.begin(), buttons.end(),
                               [&](const QString& t) { return app.effectButton(t)->isChecked(); }),
                 1);
    }

    void keyboardReachesEveryControl() {
        const App app({}, true);
        QVERIFY(QTest::qWaitForWindowActive(app.window.get()));
        QTRY_VERIFY_WITH_TIMEOUT(app.running(), kEngineMs);
        QList<QWidget*> controls;
        for (QWidget* w : app.window->findChildren<QWidget*>())
            if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(app.window.get()))
                controls << w;
        QVERIFY(controls.size() >= 12);  // eight effects, two strengths, picker, ..., Quit
        // Tab from the first effect round the window, in the order the window reads.
        QWidget* first = app.window->effects()->effectButtons().front();
        first->setFocus();
        QList<QWidget*> reached{first};
        for (int i = 0; i < controls.size() * 2; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (QApplication::focusWidget() == first) break;
            reached << QApplication::focusWidget();
        }
        for (QWidget* control : controls) {
            QVERIFY2(reached.contains(control), qPrintable(control->accessibleName()));
            // Its accessible name is what it shows.
            const QString name =
                QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
            if (auto* button = qobject_cast<QAbstractButton*>(control))
                QCOMPARE(name, button->text());
            QVERIFY(!name.isEmpty());
        }
        QVERIFY(reached.indexOf(app.window->picker()) > reached.indexOf(first));
        // Keys pick effects in menu order and press the strength items.
        QTest::keyClick(app.window.get(), '3');
        QVERIFY(app.window->effects()->effectButtons()[2]->isChecked());
        QTest::keyClick(app.window.get(), '+');
        QCOMPARE(app.core->control()->strength(), 0.75f);
        // The meters tell their level as a value.
        QAccessibleValueInterface* meter =
            QAccessible::queryAccessibleInterface(app.window->inputMeter())->valueInterface();
        QVERIFY(meter != nullptr);
        QCOMPARE(meter->currentValue().toInt(), app.window->inputMeter()->value());
    }

    void pickerFollowsDevices() {
        const App app({}, true);
        InputPicker& picker = *app.window->picker();
        QTRY_VERIFY_WITH_TIMEOUT(app.running(), kEngineMs);
        QCOMPARE(picker.itemData(0).toString(), QString());  // the default microphone first
        QVERIFY(listed(picker, "wt-feed-sink"));
        QVERIFY(!listed(picker, live::kMicName));
        QProcess::execute("pw-cli", {"create-node", "adapter",
                                     "{ factory.name=support.null-audio-sink "
                                     "node.name=wt-hotplug-sink node.description=\"Hotplug sink\" "
                                     "media.class=Audio/Sink object.linger=true "
                                     "audio.position=[ FL FR ] }"});
        QTRY_VERIFY_WITH_TIMEOUT(listed(picker, "wt-hotplug-sink"), 10000);
        QCOMPARE(picker.itemText(picker.findData("wt-hotplug-sink")), "Monitor of Hotplug sink");
        QVERIFY(!listed(picker, live::kMicName));
        // WirePlumber 0.4.13 may crash when a null sink goes within seconds of going idle.
        QTest::qWait(6000);
        uint32_t id = 0;
        for (const live::GraphNode& node : app.core->engine()->inputs())
            if (node.name == "wt-hotplug-sink") id = node.id;
        QCOMPARE(QProcess::execute("pw-cli", {"destroy", QString::number(id)}), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!listed(picker, "wt-hotplug-sink"), 10000);
        QVERIFY(!listed(picker, live::kMicName));
    }

    void settingsComeBack() {
        {
            const App app({}, false);
            QTest::mouseClick(app.effectButton("Alien"), Qt::LeftButton);
            app.window->effects()->pressKey('+');
            checkBox(*app.window, "Keep running")->setChecked(true);
            app.window->resize(700, 500);
            app.window->quit();
        }
        QVERIFY(QFileInfo::exists(qEnvironmentVariable("XDG_CONFIG_HOME") +
                                  "/wacky-throats/wacky-throats.conf"));
        {
            const App app({}, false);
            QCOMPARE(app.core->control()->effect(), std::string("Alien"));
            QVERIFY(app.effectButton("Alien")->isChecked());
            QCOMPARE(app.core->control()->strength(), 0.75f);
            QCOMPARE(app.window->size(), QSize(700, 500));
            QVERIFY(checkBox(*app.window, "Keep running")->isChecked());
        }
        // The command line wins over what was saved, for what it names.
        const App app({"--effect", "robot"}, false);
        QCOMPARE(app.core->control()->effect(), std::string("Robot"));
        QCOMPARE(app.core->control()->strength(), 0.75f);
    }

    void unloadablePluginIsSaid() {
        const App app({"--plugin", "/nonexistent/wacky_throats.so"}, true);
        QVERIFY(app.core->engine() == nullptr);
        QVERIFY2(app.window->status().contains("/nonexistent/wacky_throats.so"),
                 qPrintable(app.window->status()));
    }

    void anotherMicrophoneIsSaid() {
        QProcess live;
        live.setProgram(QFileInfo(qEnvironmentVariable("WT_PLUGIN")).path() + "/wacky-live");
        live.setArguments({"--input", "wt-feed-sink"});
        live.start();
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += live.readAllStandardError()).contains("ready"),
                                 kEngineMs);
        {
            const App app({}, true, false);
            QSignalSpy ends(app.core.get(), &AppCore::stopRequested);
            app.core->start();
            QTRY_COMPARE_WITH_TIMEOUT(app.core->engine()->state(), live::EngineState::Failed,
                                      kEngineMs);
            QCOMPARE(ends.count(), 0);  // the window stays to say why
            QCOMPARE(app.window->status().toLower(),
                     QString::fromStdString(app.core->engine()->failure()).toLower());
        }
        live.terminate();
        QVERIFY(live.waitForFinished());
    }

    void startAtLoginAndKeepRunning() {
        const App app({}, false);
        QCheckBox* login = checkBox(*app.window, "Start at login");
        QCheckBox* keep = checkBox(*app.window, "Keep running");
        QVERIFY(!keep->isChecked());
        login->click();
        const QString entry = autostartPath();
        QVERIFY(QFileInfo::exists(entry));
        QCOMPARE(QProcess::execute("desktop-file-validate", {entry}), 0);
        QFile file(entry);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains(kBackgroundOption));
        QVERIFY(keep->isChecked());  // started at login, closing its window must not end it
        app.window->close();
        QVERIFY(!app.window->isVisible());
        login->click();
        QVERIFY(!QFileInfo::exists(entry));
    }

    void secondLaunchReachesTheFirst() {
        SingleInstance first;
        QVERIFY(first.listen());
        QSignalSpy asked(&first, &SingleInstance::activated);
        SingleInstance second;
        QVERIFY(second.forwardToRunning());
        QTRY_COMPARE(asked.count(), 1);
    }

    // With desktop-test.sh: the window takes wt-feed-sink, "Robot" is clicked, then the
    // shell plays and records the voice (files ready, playing, done in WT_WORK) and
    // compares the microphone with wacky-render's Robot.
    void robotOnTheMicrophone() {
        const App app({"--input", "wt-feed-sink", "--quantum", "480"}, true);
        QTRY_VERIFY_WITH_TIMEOUT(app.running(), kEngineMs);
        QTest::mouseClick(app.effectButton("Robot"), Qt::LeftButton);
        QCOMPARE(app.core->control()->effect(), std::string("Robot"));
        touch(work("ready"));
        QVERIFY(waitForFile(work("playing"), kEngineMs));
        // The meters move with the voice; the picture is taken while both show it.
        const auto loud = [](const LevelMeter* meter) { return meter->value() > kLoudDb; };
        QTRY_VERIFY_WITH_TIMEOUT(loud(app.window->inputMeter()) && loud(app.window->outputMeter()),
                                 10000);
        QVERIFY(app.window->grab().save(qEnvironmentVariable("WT_SCREENSHOT")));
        QVERIFY(waitForFile(work("done"), 60000));
        std::printf("dropped %llu\n", static_cast<unsigned long long>(
                                          app.core->pipe()->counters().droppedCycles.load()));
    }

    // With desktop-test.sh: no server at first (the file "waiting" tells the shell), then
    // one starts and the window publishes the microphone.
    void recoversWhenAServerStarts() {
        const App app({"--input", "wt-feed-sink"}, true);
        live::LiveEngine& engine = *app.core->engine();
        QCOMPARE(engine.state(), live::EngineState::Connecting);
        QCOMPARE(app.window->status().toLower(),
                 QString::fromStdString(live::describe(live::EngineState::Connecting, engine))
                     .toLower());
        touch(work("waiting"));
        QTRY_VERIFY2_WITH_TIMEOUT(app.running(), qPrintable(app.window->status()), kEngineMs);
        QCOMPARE(
            app.window->status().toLower(),
            QString::fromStdString(live::describe(live::EngineState::Running, engine)).toLower());
    }
};

}  // namespace wt::desktop

QTEST_MAIN(wt::desktop::DesktopWindowTest)
#include "desktop_window_test.moc"
