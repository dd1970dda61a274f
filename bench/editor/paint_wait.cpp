#include "paint_wait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QWidget>

namespace editor_bench {
namespace {

// Notes the first paint event of any widget in one window.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(const QWidget& window) : window_(window) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~PaintWatch() override { QCoreApplication::instance()->removeEventFilter(this); }

    bool painted() const { return painted_; }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!painted_ && event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == &window_)
            painted_ = true;
        return false;
    }

private:
    const QWidget& window_;
    bool painted_ = false;
};

constexpr int kPaintLimitMs = 5000;

}  // namespace

bool showUntilPainted(QWidget& window) {
    PaintWatch watch(window);
    window.show();
    QElapsedTimer clock;
    clock.start();
    while (!watch.painted() && clock.elapsed() < kPaintLimitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return watch.painted();
}

void closeAndSettle(QWidget& window) {
    window.close();
    QCoreApplication::processEvents();
}

}  // namespace editor_bench
