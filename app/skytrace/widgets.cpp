#include "widgets.h"

namespace sky::ui {

void Render(QLabel* widget, const Label& label) {
  if (widget->text() != Q(label.text)) widget->setText(Q(label.text));
  const QString style = QString("color: rgb(%1,%2,%3);")
                            .arg(label.color.red)
                            .arg(label.color.green)
                            .arg(label.color.blue);
  if (widget->styleSheet() != style) widget->setStyleSheet(style);
  if (widget->toolTip() != Q(label.toolTip)) widget->setToolTip(Q(label.toolTip));
}

void Render(QCheckBox* widget, const CheckBox& box) {
  if (widget->text() != Q(box.caption)) widget->setText(Q(box.caption));
  if (widget->toolTip() != Q(box.toolTip)) widget->setToolTip(Q(box.toolTip));
  if (widget->isChecked() != box.checked) {
    const QSignalBlocker quiet(widget);
    widget->setChecked(box.checked);
  }
}

void Render(QLineEdit* widget, const TextBox& box) {
  if (widget->text() != Q(box.text)) {
    const QSignalBlocker quiet(widget);
    widget->setText(Q(box.text));
  }
  if (widget->toolTip() != Q(box.toolTip)) widget->setToolTip(Q(box.toolTip));
}

QFont Calibri(int pixels, bool bold) {
  QFont font("Calibri");
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

void Render(QPushButton* widget, const Button& button) {
  if (widget->text() != Q(button.caption)) widget->setText(Q(button.caption));
  if (widget->toolTip() != Q(button.toolTip)) widget->setToolTip(Q(button.toolTip));
  widget->setEnabled(button.enabled);
}

}  // namespace sky::ui
