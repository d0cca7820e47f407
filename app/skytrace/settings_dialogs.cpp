#include "settings_dialogs.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "commands/app.h"
#include "shell/dispatch.h"
#include "widgets.h"

namespace sky::ui {
namespace {

constexpr int kFontPixels = 14;

}  // namespace

// --- frmOptions -------------------------------------------------------------------------------

QPushButton* OptionsDialog::AddButton(const char* name) {
  auto* button = new QPushButton(this);
  button->setObjectName(name);
  button->setAutoDefault(false);
  buttons_[name] = button;
  connect(button, &QPushButton::clicked, this, [this, key = std::string(name)] {
    Click(app_, "frmOptions", key);
    afterEvent_();
  });
  return button;
}

QCheckBox* OptionsDialog::AddCheck(const char* name) {
  auto* box = new QCheckBox(this);
  box->setObjectName(name);
  checks_[name] = box;
  connect(box, &QCheckBox::clicked, this, [this, key = std::string(name)] {
    Click(app_, "frmOptions", key);
    afterEvent_();
  });
  return box;
}

OptionsDialog::OptionsDialog(App& app, std::function<void()> afterEvent, QWidget* parent)
    : QDialog(parent), app_(app), afterEvent_(std::move(afterEvent)) {
  setObjectName("frmOptions");
  setWindowModality(Qt::ApplicationModal);
  setWindowIcon(QApplication::windowIcon());
  const OptionsControls& w = app_.frmOptions;

  QPushButton* Command2 = AddButton("Command2");

  auto* Frame2 = new QGroupBox(Q(w.Frame2.caption), this);
  Frame2->setObjectName("Frame2");
  auto* updates = new QVBoxLayout(Frame2);
  updates->addWidget(AddCheck("Check3"));
  updates->addWidget(AddCheck("Check2"));

  auto* Frame1 = new QGroupBox(Q(w.Frame1.caption), this);
  Frame1->setObjectName("Frame1");
  auto* xplane = new QGridLayout(Frame1);
  txtXPlanePath_ = new QLineEdit(Frame1);
  txtXPlanePath_->setObjectName("txtXPlanePath");
  txtXPlanePath_->setMinimumWidth(QFontMetrics(txtXPlanePath_->font())
                                      .horizontalAdvance("C:\\X-Plane 12\\Resources\\plugins\\"));
  connect(txtXPlanePath_, &QLineEdit::textEdited, this, [this](const QString& text) {
    TypeText(app_, "frmOptions", "txtXPlanePath", text.toStdString());
    afterEvent_();
  });
  xplane->addWidget(txtXPlanePath_, 0, 0, 1, 2);
  xplane->addWidget(AddButton("Command1"), 0, 2);
  xplane->addWidget(AddCheck("Check1"), 1, 0, 1, 3);
  Label24_ = new QLabel(Frame1);
  Label24_->setObjectName("Label24");
  lblXPUIPC_ = new QLabel(Frame1);
  lblXPUIPC_->setObjectName("lblXPUIPC");
  QFont bold = lblXPUIPC_->font();
  bold.setBold(true);
  lblXPUIPC_->setFont(bold);
  xplane->addWidget(Label24_, 2, 0);
  xplane->addWidget(lblXPUIPC_, 2, 1, 1, 2);
  lblXPlaneNote_ = new QLabel(Frame1);
  lblXPlaneNote_->setObjectName("lblXPlaneNote");
  lblXPlaneNote_->setWordWrap(true);
  lblXPlaneNote_->setVisible(!w.lblXPlaneNote.text.empty());
  xplane->addWidget(lblXPlaneNote_, 3, 0, 1, 3);
  xplane->setColumnStretch(1, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  QPushButton* ok = AddButton("btnOK");
  ok->setDefault(true);
  buttons->addWidget(ok);
  buttons->addWidget(AddButton("btnCancel"));

  auto* top = new QHBoxLayout;
  top->addWidget(Command2);
  top->addStretch(1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(Frame2);
  layout->addWidget(Frame1);
  layout->addStretch(1);
  layout->addLayout(buttons);
  Render();
  setMinimumSize(sizeHint());
}

void OptionsDialog::Render() {
  const OptionsControls& w = app_.frmOptions;
  if (windowTitle() != Q(w.caption)) setWindowTitle(Q(w.caption));
  const std::pair<const char*, const Button*> buttons[] = {{"Command2", &w.Command2},
                                                           {"Command1", &w.Command1},
                                                           {"btnOK", &w.btnOK},
                                                           {"btnCancel", &w.btnCancel}};
  for (const auto& [name, button] : buttons) ui::Render(buttons_.at(name), *button);
  const std::pair<const char*, const CheckBox*> checks[] = {
      {"Check1", &w.Check1}, {"Check2", &w.Check2}, {"Check3", &w.Check3}};
  for (const auto& [name, box] : checks) ui::Render(checks_.at(name), *box);
  ui::Render(txtXPlanePath_, w.txtXPlanePath);
  ui::Render(Label24_, w.Label24);
  ui::Render(lblXPUIPC_, w.lblXPUIPC);
  ui::Render(lblXPlaneNote_, w.lblXPlaneNote);
}

void OptionsDialog::reject() {
  CloseWindow(app_, "frmOptions");
  afterEvent_();
}

// --- frmOffsets -------------------------------------------------------------------------------

QPushButton* ParametersDialog::AddButton(const char* name) {
  auto* button = new QPushButton(this);
  button->setObjectName(name);
  button->setAutoDefault(false);
  button->setFont(Calibri(kFontPixels));
  button->installEventFilter(this);
  buttons_[name] = button;
  connect(button, &QPushButton::clicked, this, [this, key = std::string(name)] {
    Click(app_, "frmOffsets", key);
    afterEvent_();
  });
  return button;
}

ParametersDialog::ParametersDialog(App& app, std::function<void()> afterEvent, QWidget* parent)
    : QDialog(parent), app_(app), afterEvent_(std::move(afterEvent)) {
  setObjectName("frmOffsets");
  setWindowModality(Qt::ApplicationModal);
  setWindowIcon(QApplication::windowIcon());
  const OffsetsControls& w = app_.frmOffsets;
  const QFont font = Calibri(kFontPixels);
  const int boxWidth = QFontMetrics(font).horizontalAdvance("0000000000");

  QGroupBox* frames[4];
  QGridLayout* grids[4];
  for (int i = 0; i < 4; ++i) {
    frames[i] = new QGroupBox(Q(w.frames[i].caption), this);
    grids[i] = new QGridLayout(frames[i]);
    grids[i]->setColumnStretch(0, 1);
    grids[i]->setVerticalSpacing(4);
  }
  for (const ParameterBox& design : w.boxes) {
    auto* label = new QLabel(frames[design.frame]);
    label->setFont(font);
    auto* box = new QLineEdit(frames[design.frame]);
    box->setObjectName(Q(design.name));
    box->setFont(font);
    box->setFixedWidth(boxWidth);
    box->setAlignment(Qt::AlignRight);
    box->installEventFilter(this);
    label->setBuddy(box);
    connect(box, &QLineEdit::textEdited, this, [this, key = design.name](const QString& text) {
      TypeText(app_, "frmOffsets", key, text.toStdString());
      afterEvent_();
    });
    QGridLayout* grid = grids[design.frame];
    const int row = grid->rowCount();
    grid->addWidget(label, row, 0);
    grid->addWidget(box, row, 1);
    labels_.push_back(label);
    boxes_.push_back(box);
  }

  for (QGridLayout* grid : grids) grid->setRowStretch(grid->rowCount(), 1);  // rows at the top

  lblNote_ = new QLabel(this);
  lblNote_->setObjectName("lblNote");
  lblNote_->setWordWrap(true);
  lblNote_->setFont(Calibri(kFontPixels, true));

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(AddButton("btnReset"));
  buttons->addStretch(1);
  QPushButton* ok = AddButton("btnOK");
  ok->setDefault(true);
  buttons->addWidget(ok);
  buttons->addWidget(AddButton("btnCancel"));

  auto* columns = new QGridLayout;
  columns->addWidget(frames[0], 0, 0);
  columns->addWidget(frames[1], 1, 0);
  columns->addWidget(frames[2], 0, 1);
  columns->addWidget(frames[3], 1, 1);
  columns->setColumnStretch(0, 1);
  columns->setColumnStretch(1, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns);
  layout->addWidget(lblNote_);
  layout->addLayout(buttons);
  Render();
  setMinimumSize(sizeHint());
}

void ParametersDialog::Render() {
  const OffsetsControls& w = app_.frmOffsets;
  if (windowTitle() != Q(w.caption)) setWindowTitle(Q(w.caption));
  for (size_t i = 0; i < w.boxes.size() && i < boxes_.size(); ++i) {
    ui::Render(labels_[i], w.boxes[i].label);
    ui::Render(boxes_[i], w.boxes[i].box);
  }
  ui::Render(lblNote_, w.lblNote);
  ui::Render(buttons_.at("btnOK"), w.btnOK);
  ui::Render(buttons_.at("btnCancel"), w.btnCancel);
  ui::Render(buttons_.at("btnReset"), w.btnReset);
}

bool ParametersDialog::eventFilter(QObject* watched, QEvent* event) {
  // A box or a button taking the focus (Tab, a click) takes it from the control that had it,
  // which corrects its text if it was a box.
  if (event->type() == QEvent::FocusIn) {
    MoveFocus(app_, "frmOffsets", watched->objectName().toStdString());
    afterEvent_();
  }
  return QDialog::eventFilter(watched, event);
}

void ParametersDialog::reject() {
  CloseWindow(app_, "frmOffsets");
  afterEvent_();
}

}  // namespace sky::ui
