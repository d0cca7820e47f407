// Control state of the program's windows, held as plain data.
// The core writes texts, colours and enabled flags here; the windows (Qt, or the headless
// runner's transcript) only render them and forward clicks back to the core's handlers.
#pragma once

#include <cstdint>
#include <string>

namespace sky {

struct Color {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  friend bool operator==(const Color&, const Color&) = default;
};

inline constexpr Color kBlack{0, 0, 0};
inline constexpr Color kRed{255, 0, 0};
inline constexpr Color kGreen{0, 200, 0};  // the "a record was written" colour of the logging label

struct Label {
  std::string text;
  Color color = kBlack;
  std::string toolTip;
};

struct Button {
  std::string caption;
  std::string toolTip;
  bool enabled = true;
};

struct CheckBox {
  std::string caption;
  std::string toolTip;
  bool checked = false;
};

struct TextBox {
  std::string text;
  std::string toolTip;
};

struct Frame {
  std::string caption;
};

// A window timer. Its clock is the program's monotonic milliseconds (Clock::MonotonicMs); the
// host calls RunDueTimers, which fires every enabled timer whose due time has come. Setting
// Enabled false then true restarts the countdown, as window timers do.
struct Timer {
  int intervalMs = 1000;
  bool enabled = false;
  int64_t dueMs = 0;
};

enum class WindowState { Normal, Minimized, Maximized };

// Which window a port call or a click is about.
enum class WindowId { Form1, frmTCAS, frmACStatus, frmOptions, frmOffsets };

}  // namespace sky
