// The desktop program's HTTP client (Qt Network in a local event loop) against the local server.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include "local_server.h"
#include "qt_ports.h"

namespace sky {
namespace {

TEST(QtHttp, FetchesWithinItsTimeOutAndSizeCap) {
  const HttpLimits limits{800, 800, 4096, 100000};
  ui::QtHttp http(limits);
  test::CheckHttpAdapter(
      http, [&http] { return http.LastFailure(); }, limits);
}

// The window stays responsive: its events are served while a request waits.
TEST(QtHttp, TheEventLoopRunsWhileARequestWaits) {
  test::LocalServer server;
  ASSERT_TRUE(server.Running());
  ui::QtHttp http({800, 800, 4096, 4096});
  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
  timer.start(100);
  EXPECT_FALSE(http.FetchText(server.Base("slow") + "/none.txt"));
  EXPECT_EQ(http.LastFailure(), HttpFailure::TimedOut);
  EXPECT_GE(ticks, 4);
}

}  // namespace
}  // namespace sky

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
