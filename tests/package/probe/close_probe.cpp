// Loaded into a Qt program by QT_QPA_GENERIC_PLUGINS=closeprobe: once the main window
// is up, prints its caption and the named box given in CLOSE_PROBE_BOX, closes it and
// presses the first button of every message box that follows. Gives up after 30 s.
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QGenericPlugin>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

namespace {

constexpr int kTickMs = 100;
constexpr qint64 kGiveUpMs = 30000;

class CloseProbe : public QObject {
public:
    CloseProbe() {
        clock_.start();
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, &CloseProbe::tick);
        timer->start(kTickMs);
    }

private:
    void tick() {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            std::printf("box: %s\n", qPrintable(box->text()));
            std::fflush(stdout);
            box->buttons().first()->click();
            return;
        }
        if (!closing_) {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* window = qobject_cast<QMainWindow*>(widget);
                if (!window || !window->isVisible()) continue;
                report(*window);
                closing_ = true;
                QTimer::singleShot(0, window, &QWidget::close);
                return;
            }
        }
        if (clock_.elapsed() > kGiveUpMs) {
            std::printf("probe: gave up waiting\n");
            std::fflush(stdout);
            QCoreApplication::exit(3);
        }
    }

    static void report(QMainWindow& window) {
        std::printf("window: %s\n", qPrintable(window.windowTitle()));
        const QString boxName = qEnvironmentVariable("CLOSE_PROBE_BOX");
        if (auto* box = window.findChild<QLineEdit*>(boxName))
            std::printf("%s: %s\n", qPrintable(boxName), qPrintable(box->text()));
        std::fflush(stdout);
    }

    QElapsedTimer clock_;
    bool closing_ = false;
};

}  // namespace

class CloseProbePlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "close_probe.json")
public:
    QObject* create(const QString&, const QString&) override { return new CloseProbe; }
};

#include "close_probe.moc"
