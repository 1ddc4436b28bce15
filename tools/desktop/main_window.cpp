#include "tools/desktop/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QShortcut>
#include <QVBoxLayout>
#include <cstdio>

#include "tools/desktop/autostart.h"

namespace wt::desktop {

namespace {

constexpr const char* kStrengthKeys = "+-";
constexpr const char* kHeadphonesWarning =
    "Wear headphones: from speakers your changed voice goes back into the microphone.";

// The engine's lines start in lower case, after the tool's name on a terminal.
QString sentence(const std::string& line) {
    QString text = QString::fromStdString(line);
    if (!text.isEmpty()) text[0] = text[0].toUpper();
    return text;
}

}  // namespace

MainWindow::MainWindow(AppCore& core, const SavedChoices& saved, QWidget* parent)
    : QWidget(parent), core_(core), saved_(saved) {
    setWindowTitle(WT_APP_NAME);
    auto* layout = new QVBoxLayout(this);
    status_ = new QLabel;
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = status_->font();
    bold.setBold(true);
    status_->setFont(bold);
    message_ = new QLabel;
    message_->setWordWrap(true);
    message_->setVisible(false);
    layout->addWidget(status_);
    layout->addWidget(message_);
    if (core_.control()) {
        effects_ = new EffectPanel(*core_.control(), core_.plugin()->menu());
        layout->addWidget(effects_);
        connect(effects_, &EffectPanel::choiceChanged, this, &MainWindow::save);
    }
    buildControls(layout);

    if (effects_) {
        // wacky-live's keys: a digit per effect item, then the strength items.
        std::string keys;
        for (int i = 0; i < live::kEffectKeys; ++i) keys += static_cast<char>('1' + i);
        keys += kStrengthKeys;
        for (const char key : keys)
            connect(new QShortcut(QKeySequence(QString(key)), this), &QShortcut::activated,
                    effects_, [this, key] { effects_->pressKey(key); });
    }
    connect(new QShortcut(QKeySequence("Ctrl+Q"), this), &QShortcut::activated, this,
            &MainWindow::quit);

    connect(&core_, &AppCore::said, this, &MainWindow::say);
    connect(&core_, &AppCore::engineChanged, this, &MainWindow::showEngine);
    connect(&core_, &AppCore::stopRequested, this, &MainWindow::quit);
    if (core_.engine()) loop_ = std::make_unique<EngineLoop>(*core_.engine());
    meterTimer_.setInterval(1000 / kMetersPerSecond);
    connect(&meterTimer_, &QTimer::timeout, this, &MainWindow::readMeters);
    if (saved_.size.isValid()) resize(saved_.size);
    showEngine();
}

void MainWindow::buildControls(QVBoxLayout* layout) {
    auto* form = new QFormLayout;
    picker_ = new InputPicker;
    picker_->setAccessibleName("Input");
    form->addRow(picker_->accessibleName(), picker_);
    connect(picker_, &InputPicker::inputChosen, this, [this](const std::string& input) {
        if (core_.engine()) core_.engine()->setInput(input);
        save();
    });

    hearYourself_ = new QCheckBox("Hear yourself");
    hearYourself_->setChecked(core_.engine() && core_.engine()->settings().monitor);
    auto* warning = new QLabel(kHeadphonesWarning);
    warning->setWordWrap(true);
    form->addRow(hearYourself_, warning);
    connect(hearYourself_, &QCheckBox::toggled, this, [this](bool on) {
        if (core_.engine()) core_.engine()->setMonitor(on);
        save();
    });

    inputMeter_ = new LevelMeter("Input level");
    outputMeter_ = new LevelMeter("Output level");
    form->addRow(inputMeter_->accessibleName(), inputMeter_);
    form->addRow(outputMeter_->accessibleName(), outputMeter_);
    dropped_ = new QLabel;
    dropped_->setVisible(false);
    form->addRow(dropped_);
    layout->addLayout(form);

    auto* row = new QHBoxLayout;
    startAtLogin_ = new QCheckBox("Start at login");
    startAtLogin_->setChecked(autostartEnabled());
    keepRunning_ = new QCheckBox("Keep running when the window is closed");
    keepRunning_->setChecked(saved_.keepRunning);
    quit_ = new QPushButton("Quit");
    row->addWidget(startAtLogin_);
    row->addWidget(keepRunning_);
    row->addStretch(1);
    row->addWidget(quit_);
    layout->addLayout(row);
    connect(startAtLogin_, &QCheckBox::toggled, this, [this](bool on) {
        QString error;
        if (!setAutostart(on, QCoreApplication::applicationFilePath(), &error)) {
            say(error);
            return;
        }
        // Started at login there is no window to close: it must keep running.
        if (on) keepRunning_->setChecked(true);
    });
    connect(keepRunning_, &QCheckBox::toggled, this, &MainWindow::save);
    connect(quit_, &QPushButton::clicked, this, &MainWindow::quit);
}

void MainWindow::bringForward() {
    show();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

void MainWindow::quit() {
    save();
    QApplication::quit();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    save();
    if (keepRunning_->isChecked()) {
        hide();
        event->ignore();
        return;
    }
    event->accept();
    QApplication::quit();
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (core_.pipe()) meterTimer_.start();
}

void MainWindow::hideEvent(QHideEvent* event) {
    // Nobody looks at hidden meters: the timer stops, and the CPU with it.
    meterTimer_.stop();
    QWidget::hideEvent(event);
}

void MainWindow::showEngine() {
    live::LiveEngine* engine = core_.engine();
    if (!core_.pluginProblem().isEmpty())
        status_->setText("The plugin cannot be loaded: " + core_.pluginProblem());
    else if (engine)
        status_->setText(sentence(live::describe(engine->state(), *engine)));
    picker_->setEnabled(engine != nullptr);
    hearYourself_->setEnabled(engine != nullptr);
    if (engine) picker_->showInputs(engine->inputs(), engine->settings().input);
}

void MainWindow::readMeters() {
    live::PipeCounters& counters = core_.pipe()->counters();
    inputMeter_->showPeak(counters.inputPeak.exchange(0, std::memory_order_relaxed));
    outputMeter_->showPeak(counters.outputPeak.exchange(0, std::memory_order_relaxed));
    const uint64_t dropped = counters.droppedCycles.load(std::memory_order_relaxed);
    if (dropped != 0) {
        const QString text = QString("Dropped cycles: %1").arg(dropped);
        if (dropped_->text() != text) dropped_->setText(text);
        dropped_->setVisible(true);
    }
}

void MainWindow::say(const QString& line) {
    std::fprintf(stderr, "wacky-throats: %s\n", qPrintable(line));
    message_->setText(sentence(line.toStdString()));
    message_->setVisible(true);
}

void MainWindow::save() {
    if (core_.control()) {
        saved_.effect = core_.control()->effect();
        saved_.strength =
            QString::number(static_cast<double>(core_.control()->strength())).toStdString();
    }
    if (core_.engine()) {
        saved_.input = core_.engine()->settings().input;
        saved_.hearYourself = core_.engine()->settings().monitor;
    }
    saved_.keepRunning = keepRunning_->isChecked();
    if (isVisible()) saved_.size = size();  // a window never shown has no size of its own
    saveChoices(saved_);
}

}  // namespace wt::desktop
