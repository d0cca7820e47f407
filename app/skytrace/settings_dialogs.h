// The two settings dialogs, modal: the options (frmOptions) and, over it, the logging parameters
// (frmOffsets). They render their control state from the core and forward every click, every
// keystroke and every move of the focus between the boxes, so the core's boxes correct
// themselves exactly as the user leaves them.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <functional>
#include <map>
#include <string>

namespace sky {
struct App;
}

namespace sky::ui {

class OptionsDialog : public QDialog {
 public:
  OptionsDialog(App& app, std::function<void()> afterEvent, QWidget* parent);
  void Render();

 protected:
  void reject() override;  // Escape and the close box: as Cancel

 private:
  QPushButton* AddButton(const char* name);
  QCheckBox* AddCheck(const char* name);
  App& app_;
  std::function<void()> afterEvent_;
  std::map<std::string, QPushButton*> buttons_;
  std::map<std::string, QCheckBox*> checks_;
  QLineEdit* txtXPlanePath_;
  QLabel* Label24_;
  QLabel* lblXPUIPC_;
  QLabel* lblXPlaneNote_;
};

class ParametersDialog : public QDialog {
 public:
  ParametersDialog(App& app, std::function<void()> afterEvent, QWidget* parent);
  void Render();

 protected:
  void reject() override;  // Escape and the close box: as Cancel
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPushButton* AddButton(const char* name);
  App& app_;
  std::function<void()> afterEvent_;
  std::map<std::string, QPushButton*> buttons_;
  std::vector<QLabel*> labels_;
  std::vector<QLineEdit*> boxes_;
  QLabel* lblNote_;
};

}  // namespace sky::ui
