// The main window: six frames of buttons, the connection and recording status, the UTC clock and
// the message board, and the tray icon while the window is hidden in the notification area. It
// renders Form1's control state and forwards clicks, minimising and tray clicks to the core.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSystemTrayIcon>
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
  // `afterEvent` runs after every event the core handled (the host re-renders all windows).
  Form1(App& app, std::function<void()> afterEvent);
  void Render();
  // The tray icon (picTrayicon's part), present while the window is in the notification area.
  QSystemTrayIcon* TrayIcon() const { return tray_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  QPushButton* AddButton(const char* name);
  void RenderWindowState();
  App& app_;
  std::function<void()> afterEvent_;
  std::map<std::string, QPushButton*> buttons_;
  QLabel* lblConnect_;
  QLabel* Label5_;
  QLabel* Label13_;
  QLabel* Label6_;
  QLabel* Label9_;
  QLabel* Label7_;
  QCheckBox* chkExports_;
  QSystemTrayIcon* tray_;
  int frontRequests_ = 0;  // the core's requests to come to the front, as far as handled
};

}  // namespace sky::ui
