// Small helpers shared by the views: rendering core control state into Qt widgets.
#pragma once

#include <QCheckBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>

#include "core/controls.h"

namespace sky::ui {

inline QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

void Render(QLabel* widget, const Label& label);
void Render(QPushButton* widget, const Button& button);
void Render(QCheckBox* widget, const CheckBox& box);
// Leaves the text (and so the cursor) alone while it already matches.
void Render(QLineEdit* widget, const TextBox& box);

// The dialogs' font, Calibri where it exists and a sans-serif face of the same size elsewhere.
QFont Calibri(int pixels, bool bold = false);

}  // namespace sky::ui
