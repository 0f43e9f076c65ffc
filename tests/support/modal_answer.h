#pragma once

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace test_support {

// Answers modal dialogs as a person would: while it lives, each time a new modal widget comes
// up, `answer` is called with it (once per widget), from the dialog's own event loop.
class ModalAnswer {
  public:
    explicit ModalAnswer(std::function<void(QWidget*)> answer) : m_answer(std::move(answer)) {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal == m_last.data()) return;
            m_last = modal;
            // Later, not in the timer's own call: an answer may bring up a modal box of its
            // own, and a timer is not called again while its call is still running.
            QTimer::singleShot(0, modal, [this, modal] { m_answer(modal); });
        });
        m_timer.start();
    }

  private:
    std::function<void(QWidget*)> m_answer;
    QTimer m_timer;
    QPointer<QWidget> m_last;  // null once that dialog has gone
};

}  // namespace test_support
