// The window's road, timed: the program as app/main.cpp starts it with a file named on the
// command line (the real Qt runtime, window and handlers), and with its one human step, the
// name typed in the "Save as..." dialog, answered by the benchmark. Then File > Exit once the
// stretched overview has been painted.
//
//   zentrova-bench-window INPUT OUTPUT   start, open INPUT, write OUTPUT, paint the overview
//   zentrova-bench-window                start and paint the window, nothing more
//
// Prints on standard error the seconds from main() to the first paint of the client area, to
// the "Save as..." dialog shown (answered at once), to the icon written and to the overview
// painted.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <optional>
#include <string>

#include "app/open_from_desktop.h"
#include "main_window/frm_main.h"
#include "platform/qt/qt_message_boxes.h"
#include "platform/qt/qt_runtime.h"
#include "resources/application_record.h"

namespace {

double SecondsOn(const QElapsedTimer& clock) {
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

// The user's answer to "Save as...": the benchmark's output name.
class SaveAnswer : public platform::FileDialogService {
  public:
    SaveAnswer(const QElapsedTimer& clock, std::string fileName)
        : m_clock(clock), m_fileName(std::move(fileName)) {}
    std::optional<std::string> Show(const platform::FileDialogRequest& request) override {
        if (request.mode != platform::FileDialogMode::Save) return std::nullopt;
        if (shown < 0) shown = SecondsOn(m_clock);
        return m_fileName;
    }
    double shown = -1;  // when the dialog was first asked for

  private:
    const QElapsedTimer& m_clock;
    std::string m_fileName;
};

// Watches the client area's paints: the first one, and the first that draws the overview.
class PaintWatch : public QObject {
  public:
    PaintWatch(QElapsedTimer& clock, zentrova::frmMain& form, bool waitForOverview)
        : m_clock(clock), m_form(form), m_waitForOverview(waitForOverview) {}

    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() != QEvent::Paint ||
            object->objectName() != QStringLiteral("ClientArea")) {
            return false;
        }
        if (m_firstPaint < 0) {
            m_firstPaint = Seconds();
            if (!m_waitForOverview) Exit();
        }
        if (m_waitForOverview && m_iconWritten >= 0 && m_overviewPainted < 0) {
            // Once this paint is done: it drew the overview if there is one now, whether it
            // was ready before or made during the paint (a picture held in memory).
            QTimer::singleShot(0, this, [this] {
                if (m_overviewPainted < 0 && m_form.imgPreview.ReadyOverview()) {
                    m_overviewPainted = Seconds();
                    Exit();
                }
            });
        }
        return false;
    }
    void IconWritten() { m_iconWritten = Seconds(); }
    void Report(double saveDialog) const {
        std::fprintf(stderr,
                     "first_paint %.4f save_dialog %.4f icon_written %.4f overview_painted %.4f\n",
                     m_firstPaint, saveDialog, m_iconWritten, m_overviewPainted);
    }

  private:
    double Seconds() const { return SecondsOn(m_clock); }
    // File > Exit, as the user would, once the paint at hand is done.
    void Exit() {
        QTimer::singleShot(0, qApp, [this] { m_form.mnuExit_Click(); });
    }

    QElapsedTimer& m_clock;
    zentrova::frmMain& m_form;
    bool m_waitForOverview;
    double m_firstPaint = -1;
    double m_iconWritten = -1;
    double m_overviewPainted = -1;
};

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    if (argc != 1 && argc != 3) {
        std::fprintf(stderr, "usage: zentrova-bench-window [INPUT OUTPUT]\n");
        return 2;
    }
    const bool road = argc == 3;

    // As app/main.cpp.
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(zentrova::kApplicationRecord.Title));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.zentrova.Zentrova"));
    platform::Gdi gdi;
    SaveAnswer saveAnswer(clock, road ? argv[2] : "");
    zentrova::PresetFileDialogs fileDialogs(saveAnswer);
    platform::QtMessageBoxes messageBoxes;
    platform::QtRuntime runtime;
    platform::Registry registry;  // nothing here reads the registry or starts a program
    platform::ProcessShell shell;
    platform::Services services{gdi, fileDialogs, messageBoxes, runtime, registry, shell};
    zentrova::frmMain form(services);

    PaintWatch watch(clock, form, road);
    application.installEventFilter(&watch);
    const std::string input = road ? argv[1] : "";
    if (road) {
        QTimer::singleShot(0, &application, [&] {
            fileDialogs.OpenFile(form, input);
            watch.IconWritten();
        });
    }
    // A road that never gets there is a failed run, not a hung benchmark.
    QTimer::singleShot(120000, &application, [&] { std::_Exit(3); });
    const int code = runtime.Run(form);
    watch.Report(saveAnswer.shown);
    return code;
}
