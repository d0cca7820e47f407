// What only the POSIX stand-in for the simulator's window has to handle: request areas that an
// ended process left behind in the shared-memory folder.
#ifndef _WIN32

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include "platform_sim.h"
#include "simlink/fsuipc.h"
#include "simlink/ipc_wire.h"

namespace sky {
namespace {

TEST(SocketLinkTest, LeftoverAreaOfAnEndedProcessIsReplaced) {
  test::PlatformSim sim;
  ASSERT_TRUE(sim.Start()) << sim.Error();
  const std::string name = wire::SharedMemoryName(AreaName(static_cast<uint32_t>(getpid())));
  const int fd = shm_open(name.c_str(), O_CREAT | O_RDWR, 0600);
  ASSERT_GE(fd, 0);
  close(fd);
  FsuipcLink link;
  link.transport = &sim.transport();
  link.clock = &sim.clock();
  int32_t result = -1;
  EXPECT_TRUE(OpenLink(link, 0, result)) << result;
  CloseLink(link);
  EXPECT_FALSE(test::PlatformSim::AreaExists());
}

}  // namespace
}  // namespace sky

#endif  // _WIN32
