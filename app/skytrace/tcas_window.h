// The TCAS window: a heading-up traffic display. It paints frmTCAS's state (the range disc, one
// diamond per drawn target with its relative-altitude label, mode and range) at the places the
// core computed in twips, and forwards its four buttons and its closing to the core.
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

class TcasWindow : public QWidget {
 public:
  // `afterEvent` runs after every click the core handled.
  TcasWindow(App& app, std::function<void()> afterEvent);
  void Render();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QPushButton* AddButton(QWidget* parent, const char* name);
  App& app_;
  std::function<void()> afterEvent_;
  std::map<std::string, QPushButton*> buttons_;
  QLabel* Label11_;
  QLabel* Label10_;
  QWidget* targets_;
};

}  // namespace sky::ui
