#include "test_run.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <deque>
#include <iostream>
#include <semaphore>
#include <string>
#include <thread>
#include <utility>

#include "form1.h"
#include "host.h"
#include "platform/headless.h"
#include "qt_ports.h"
#include "settings_dialogs.h"
#include "shell/test_commands.h"
#include "status_window.h"
#include "tcas_window.h"
#include "widgets.h"

namespace sky::ui {
namespace {

struct TestRun {
  App& app;
  UiHost& host;
  SimulatedClock& clock;
  std::deque<std::pair<std::string, std::string>> answers;  // kind, text
  std::binary_semaphore done{0};
};

QWidget* WindowOf(const UiHost& host, const std::string& window) {
  if (window == "Form1") return host.MainWindow();
  if (window == "frmTCAS") return host.TcasView();
  if (window == "frmACStatus") return host.StatusView();
  if (window == "frmOptions") return host.OptionsView();
  if (window == "frmOffsets") return host.ParametersView();
  return nullptr;
}

// Presses the answer's button in the box that shows (checked again until one does).
void GiveAnswer(const std::string& kind, const std::string& text) {
  QWidget* box = QApplication::activeModalWidget();
  if (!box) {
    QTimer::singleShot(20, [kind, text] { GiveAnswer(kind, text); });
    return;
  }
  const bool accept = kind != "no" && kind != "cancel";
  if (auto* message = qobject_cast<QMessageBox*>(box)) {
    const QMessageBox::StandardButton wanted = kind == "yes"      ? QMessageBox::Yes
                                               : kind == "no"     ? QMessageBox::No
                                               : kind == "cancel" ? QMessageBox::Cancel
                                                                  : QMessageBox::Ok;
    QAbstractButton* button = message->button(wanted);
    if (!button) button = message->button(QMessageBox::Ok);
    if (button) button->click();
    return;
  }
  if (auto* input = qobject_cast<QInputDialog*>(box); input && kind == "text") {
    input->setTextValue(Q(text));
  } else if (auto* files = qobject_cast<QFileDialog*>(box); files && kind == "text") {
    files->selectFile(Q(text));
  }
  if (auto* dialog = qobject_cast<QDialog*>(box)) accept ? dialog->accept() : dialog->reject();
}

void RunCommand(TestRun& run, const std::string& line) {
  std::string error;
  const std::optional<TestCommand> command = ParseTestCommand(line, error);
  if (!command) {
    if (!error.empty()) std::fprintf(stderr, "skytrace: test command: %s\n", error.c_str());
    return;
  }
  QWidget* view = WindowOf(run.host, command->window);
  if (!command->window.empty() && !view) {
    std::fprintf(stderr, "skytrace: test command: %s is not open\n", command->window.c_str());
    return;
  }
  const QString control = Q(command->control);
  switch (command->verb) {
    case TestCommand::Verb::Run:
      RunTestSeconds(
          run.app, command->seconds, [&run](int64_t ms) { run.clock.Advance(ms); },
          [&run] { run.host.AfterEvent(); });
      break;
    case TestCommand::Verb::Click:
      if (auto* button = view->findChild<QAbstractButton*>(control)) button->click();
      break;
    case TestCommand::Verb::Type:
      if (auto* box = view->findChild<QLineEdit*>(control)) {
        box->setFocus();
        box->selectAll();
        box->insert(Q(command->text));  // as typed: the box reports an edit
      }
      break;
    case TestCommand::Verb::Close:
      view->close();
      break;
    case TestCommand::Verb::Answer:
      run.answers.emplace_back(command->text, command->answerText);
      break;
  }
}

}  // namespace

void StartTestRun(App& app, UiHost& host, QtDialogs& dialogs, SimulatedClock& clock) {
  auto* run = new TestRun{app, host, clock, {}};  // lives as long as the program
  host.RunOnSimulatedClock();
  dialogs.beforeShow = [run, show = dialogs.beforeShow] {
    if (show) show();
    if (run->answers.empty()) return;
    auto [kind, text] = run->answers.front();
    run->answers.pop_front();
    QTimer::singleShot(0, [kind, text] { GiveAnswer(kind, text); });
  };
  // One command at a time: the next is read once the last has run to its end, boxes and all.
  std::thread([run] {
    for (std::string line; std::getline(std::cin, line);) {
      QMetaObject::invokeMethod(
          qApp,
          [run, line] {
            RunCommand(*run, line);
            run->done.release();
          },
          Qt::QueuedConnection);
      run->done.acquire();
    }
  }).detach();
}

}  // namespace sky::ui
