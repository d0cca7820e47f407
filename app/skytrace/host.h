// Keeps the windows in step with the core: fires the core's timers on time, re-renders every open
// window after each event, and opens or closes the auxiliary windows as the core's state says.
#pragma once

#include <QObject>
#include <QTimer>
#include <memory>

#include "qt_ports.h"

namespace sky {
struct App;
}

namespace sky::ui {

class Form1;
class TcasWindow;
class StatusWindow;
class OptionsDialog;
class ParametersDialog;

class UiHost : public QObject {
 public:
  UiHost(App& app, QtWindows& windows);
  ~UiHost() override;
  // Runs the start-up and shows the main window; false when the program ended during start-up.
  bool Start();
  // After any event the core handled: render, sync windows, schedule the next timer.
  void AfterEvent();
  // Renders every window and opens or closes the auxiliary ones, as the core's state says.
  void RenderAll();
  // A test run: the timers run only when a test command says so.
  void RunOnSimulatedClock() {
    simulated_ = true;
    timer_.stop();
  }
  Form1* MainWindow() const { return form1_.get(); }
  TcasWindow* TcasView() const { return tcas_.get(); }
  StatusWindow* StatusView() const { return status_.get(); }
  OptionsDialog* OptionsView() const { return options_.get(); }
  ParametersDialog* ParametersView() const { return parameters_.get(); }

 private:
  void OnTimer();
  // Opens or closes the auxiliary windows as the core's state says.
  void SyncWindows();
  App& app_;
  QtWindows& windows_;
  std::unique_ptr<Form1> form1_;
  std::unique_ptr<TcasWindow> tcas_;
  std::unique_ptr<StatusWindow> status_;
  std::unique_ptr<OptionsDialog> options_;
  std::unique_ptr<ParametersDialog> parameters_;
  QTimer timer_;
  bool simulated_ = false;
};

}  // namespace sky::ui
