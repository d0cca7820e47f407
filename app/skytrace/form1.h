// The main window: six frames of buttons, the connection and recording status, the UTC clock and
// the message board. It renders Form1's control state and forwards clicks to the core.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <map>
#include <string>

namespace sky {
struct App;
}

namespace sky::ui {

class Form1 : public QWidget {
 public:
  // `afterEvent` runs after every click the core handled (the host re-renders all windows).
  Form1(App& app, std::function<void()> afterEvent);
  void Render();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QPushButton* AddButton(const char* name);
  App& app_;
  std::function<void()> afterEvent_;
  std::map<std::string, QPushButton*> buttons_;
  QLabel* lblConnect_;
  QLabel* Label5_;
  QLabel* Label13_;
  QLabel* Label6_;
  QLabel* Label9_;
  QLabel* Label7_;
};

}  // namespace sky::ui
