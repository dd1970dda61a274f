// Loaded into a Qt program by QT_QPA_GENERIC_PLUGINS=closeprobe: once the main window
// is up, prints its caption and the named box given in CLOSE_PROBE_BOX, closes it and
// presses the first button of every message box that follows. In the launcher it
// prints what the window says of the selected world and presses Open as soon as it
// can. Gives up after 30 s.
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QGenericPlugin>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <utility>

namespace {

class CloseProbe : public QObject {
public:
    CloseProbe() {
        clock_.start();
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, &CloseProbe::tick);
        timer->start(100);
    }

private:
    void tick() {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            say("box: " + box->text());
            box->buttons().first()->click();
        } else if (clock_.elapsed() > 30000) {
            say("probe: gave up waiting");
            QCoreApplication::exit(3);
        } else {
            pressOpenInLauncher();
            if (!closing_) closeMainWindow();
        }
    }
    void pressOpenInLauncher() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* open = widget->findChild<QPushButton*>(QStringLiteral("cmdOpen"));
            auto* status = widget->findChild<QLabel*>(QStringLiteral("lblWorldStatus"));
            if (!widget->isVisible() || !open || !status || !open->isEnabled() || std::exchange(opening_, true))
                continue;
            say("launcher: " + status->text());
            open->click();
        }
    }
    void closeMainWindow() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* window = qobject_cast<QMainWindow*>(widget);
            if (!window || !window->isVisible() || std::exchange(closing_, true)) continue;
            say("window: " + window->windowTitle());
            const QString boxName = qEnvironmentVariable("CLOSE_PROBE_BOX");
            if (auto* box = window->findChild<QLineEdit*>(boxName)) say(boxName + ": " + box->text());
            QTimer::singleShot(0, window, &QWidget::close);
        }
    }
    static void say(const QString& line) {
        std::printf("%s\n", qPrintable(line));
        std::fflush(stdout);
    }

    QElapsedTimer clock_;
    bool closing_ = false;
    bool opening_ = false;
};

}  // namespace

class CloseProbePlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "close_probe.json")
public:
    QObject* create(const QString&, const QString&) override { return new CloseProbe; }
};

#include "close_probe.moc"
