// Small helpers shared by the views: rendering core control state into Qt widgets.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QString>

#include "core/controls.h"

namespace sky::ui {

inline QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

void Render(QLabel* widget, const Label& label);
void Render(QPushButton* widget, const Button& button);

}  // namespace sky::ui
