// The aircraft status window: the aircraft's current values in large type, the latest event and
// the always-on-top toggle. It paints frmACStatus's state and forwards its button and closing.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <functional>

namespace sky {
struct App;
}

namespace sky::ui {

class StatusWindow : public QWidget {
 public:
  StatusWindow(App& app, std::function<void()> afterEvent);
  void Render();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  App& app_;
  std::function<void()> afterEvent_;
  QLabel* values_[6];
  QLabel* lblEvent_;
  QPushButton* Command1_;
};

}  // namespace sky::ui
