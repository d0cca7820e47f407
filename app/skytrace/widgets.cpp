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

void Render(QPushButton* widget, const Button& button) {
  if (widget->text() != Q(button.caption)) widget->setText(Q(button.caption));
  if (widget->toolTip() != Q(button.toolTip)) widget->setToolTip(Q(button.toolTip));
  widget->setEnabled(button.enabled);
}

}  // namespace sky::ui
