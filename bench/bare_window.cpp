// A bare Qt window, shown and painted once, then gone: the benchmark's floor for starting up
// and painting a first window.
#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace {

class BareWindow : public QWidget {
  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(rect(), Qt::white);
        if (!m_painted) QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        m_painted = true;
    }

  private:
    bool m_painted = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    BareWindow window;
    window.resize(132, 90);
    window.show();
    return QApplication::exec();
}
