// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The run services of the media layer in a headless run: virtual time, flips, replays,
// threads, random numbers, program arguments, screenshots.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "media/core_internal.h"
#include "media/media.h"

namespace fs = std::filesystem;

namespace {

class CoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kw_core_" + std::to_string(getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override {
    kw::ShutdownMedia();
    fs::remove_all(dir_);
  }
  bool Start(const std::string& replay = "", std::vector<std::string> args = {}) {
    kw::MediaOptions o;
    o.headless = true;
    o.seedGiven = true;
    o.seed = 7;
    o.replayPath = replay;
    o.dataDir = dir_.string();
    o.userDir = (dir_ / "user").string();
    o.programArguments = std::move(args);
    return kw::InitMedia(o);
  }
  std::string WriteFile(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name) << text;
    return (dir_ / name).string();
  }
  fs::path dir_;
};

TEST_F(CoreTest, VirtualTimeMovesOnlyBySleepAndFlip) {
  ASSERT_TRUE(Start());
  uint32_t t0 = kw::TimeMs();
  EXPECT_EQ(kw::TimeMs(), t0);
  kw::SleepMs(5);
  EXPECT_EQ(kw::TimeMs(), t0 + 5);
  long flips = kw::FlipCount();
  kw::FlipScreen();
  EXPECT_EQ(kw::FlipCount(), flips + 1);
  // Sixty flips are one second of virtual time, wherever they start.
  uint32_t t1 = kw::TimeMs();
  for (int i = 0; i < 60; ++i) kw::FlipScreen();
  EXPECT_NEAR(double(kw::TimeMs() - t1), 1000.0, 1.0);
  // A flip right after a sleep goes to the next 1/60 s, not a whole frame further.
  kw::SleepMs(1);
  uint32_t t2 = kw::TimeMs();
  kw::FlipScreen();
  EXPECT_LE(kw::TimeMs() - t2, 17u);
}

TEST_F(CoreTest, ReplayEventsApplyBeforeTheSnapshotAfterTheirFlip) {
  std::string replay = WriteFile("r.txt",
                                 "# comment line\n"
                                 "0 key down 57   # space at once\n"
                                 "2 key up 57\n"
                                 "2 mouse 100 200 1\n"
                                 "3 text Hallo\n"
                                 "3 pad down rightshoulder\n"
                                 "4 pad up rightshoulder\n");
  ASSERT_TRUE(Start(replay));
  kw::ReadKeyboard();
  EXPECT_EQ(kw::KeyDown(57), 1);
  kw::FlipScreen();  // flip 1
  kw::ReadKeyboard();
  EXPECT_EQ(kw::KeyDown(57), 1);
  kw::FlipScreen();  // flip 2
  kw::ReadKeyboard();
  EXPECT_EQ(kw::KeyDown(57), 0);
  EXPECT_EQ(kw::KeyReleased(57), 1);
  EXPECT_EQ(kw::WindowPointerX(), 100);
  EXPECT_EQ(kw::WindowPointerY(), 200);
  EXPECT_EQ(kw::TypedText(), "");
  kw::FlipScreen();  // flip 3
  kw::ReadKeyboard();
  EXPECT_EQ(kw::TypedText(), "Hallo");
  // A pad's button presses the key bound to it, as a real pad's does.
  const int key = kw::GamepadKey(kw::PadRightShoulder);
  ASSERT_GT(key, 0);
  EXPECT_EQ(kw::KeyDown(key), 1);
  EXPECT_EQ(kw::GamepadConnected(), 1);
  kw::FlipScreen();  // flip 4
  kw::ReadKeyboard();
  EXPECT_EQ(kw::KeyDown(key), 0);
  EXPECT_EQ(kw::KeyReleased(key), 1);
}

TEST_F(CoreTest, MalformedReplayIsRefused) {
  for (const char* bad : {"1 key sideways 57\n", "1 pad down nosuchbutton\n", "1 pad pressed a\n"}) {
    std::string replay = WriteFile("bad.txt", bad);
    EXPECT_FALSE(Start(replay)) << bad;
  }
  EXPECT_FALSE(Start((dir_ / "missing.txt").string()));
}

void CountUp(int n) {
  static int total = 0;
  total += n;
  kw::SleepMs(total);
}

TEST_F(CoreTest, HeadlessThreadsRunToTheirEndInsideStart) {
  ASSERT_TRUE(Start());
  uint32_t before = kw::TimeMs();
  kw::ThreadHandle t = kw::StartThread(CountUp, 3);
  EXPECT_NE(t, 0);
  EXPECT_EQ(kw::ThreadRunning(t), 0);
  EXPECT_GE(kw::TimeMs() - before, 3u);
  EXPECT_EQ(kw::JoinThread(t), 1);
}

void DoNothing(int) {}

// The thread test runs in a fresh program: earlier tests leave media state behind (a
// headless run starts no real thread), and their memory would blur the cap.
constexpr char ThreadChildMode[] = "KW_THREAD_TEST_CHILD";
constexpr int NoThread = 20, GotThread = 21, CapRefused = 22, ExecFailed = 23;

// In the fresh program: caps the address space 4 MiB above its size when asked (an
// 8 MiB thread stack cannot fit), starts a thread and tells by the exit code.
[[noreturn]] void RunThreadChild(const std::string& mode) {
  if (mode == "capped") {
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    rlim_t size = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + (4u << 20);
    rlimit limit{size, size};
    if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(CapRefused);
  }
  kw::ThreadHandle t = kw::StartThread(DoNothing, 0);
  if (t != 0) kw::JoinThread(t);
  _exit(t == 0 ? NoThread : GotThread);
}

// Runs this test's binary again for one mode, with thread stacks of 8 MiB (they follow
// the stack limit at program start); the child's exit code, or -1.
int ThreadChildExit(const char* mode) {
  pid_t child = fork();
  if (child == 0) {
    rlimit stack{};
    getrlimit(RLIMIT_STACK, &stack);
    const rlim_t wanted = 8u << 20;
    const bool roomy = stack.rlim_max == RLIM_INFINITY || stack.rlim_max >= wanted;
    stack.rlim_cur = roomy ? wanted : stack.rlim_max;
    setrlimit(RLIMIT_STACK, &stack);
    setenv(ThreadChildMode, mode, 1);
    int quiet = open("/dev/null", O_WRONLY);
    if (quiet >= 0) dup2(quiet, STDOUT_FILENO);
    const char* self = "/proc/self/exe";
    execl(self, self, "--gtest_filter=CoreThreads.AThreadThatCannotStartGivesZero",
          static_cast<char*>(nullptr));
    _exit(ExecFailed);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// With no room left for a thread's stack, StartThread answers 0 instead of ending the
// program. The same child without the cap does start its thread, so the cap is what
// made the difference.
TEST(CoreThreads, AThreadThatCannotStartGivesZero) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's own bookkeeping needs the address space capped here";
#endif
  if (const char* mode = std::getenv(ThreadChildMode)) RunThreadChild(mode);
  EXPECT_EQ(ThreadChildExit("free"), GotThread);
  EXPECT_EQ(ThreadChildExit("capped"), NoThread);
}

TEST_F(CoreTest, RandomUpToStaysInRangeAndFollowsTheSeed) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(kw::RandomUpTo(0), 0);
  EXPECT_EQ(kw::RandomUpTo(-3), 0);
  bool seen[2] = {false, false};
  for (int i = 0; i < 200; ++i) {
    int r = kw::RandomUpTo(1);
    ASSERT_TRUE(r == 0 || r == 1);
    seen[r] = true;
  }
  EXPECT_TRUE(seen[0] && seen[1]);
  kw::SeedRandom(42);
  std::vector<int> a, b;
  for (int i = 0; i < 20; ++i) a.push_back(kw::RandomUpTo(640));
  kw::SeedRandom(42);
  for (int i = 0; i < 20; ++i) b.push_back(kw::RandomUpTo(640));
  EXPECT_EQ(a, b);
}

TEST_F(CoreTest, ProgramArgumentsAreTheNonOptionWords) {
  ASSERT_TRUE(Start("", {"1", "0"}));
  EXPECT_EQ(kw::ProgramArgument(0), "1");
  EXPECT_EQ(kw::ProgramArgument(1), "0");
  EXPECT_EQ(kw::ProgramArgument(2), "");
  EXPECT_EQ(kw::ProgramArgument(-1), "");
}

TEST_F(CoreTest, ScreenshotIsAnOpaquePngOfTheBackBuffer) {
  ASSERT_TRUE(Start());
  kw::ClearBackBuffer(kw::Rgb(10, 20, 30));
  EXPECT_EQ(kw::BackBuffer()[0] & 0xFFFFFFu, 0x0A141Eu);
  std::string png = (dir_ / "shot.png").string();
  ASSERT_TRUE(kw::SaveBackBufferPng(png));
  // Loading it back as a sprite gives the same colour.
  ASSERT_NE(kw::LoadSpriteFromFile(1234, png, 0), 0);
  EXPECT_EQ(kw::SpriteWidth(1234), 640);
  EXPECT_EQ(kw::SpritePixels(1234)[640 * 479 + 639], 0xFF0A141Eu);
  kw::FreeSprite(1234);
}

TEST_F(CoreTest, ClearGoesToTheBlitTargetWhileOneIsSet) {
  ASSERT_TRUE(Start());
  kw::ClearBackBuffer(kw::Rgb(1, 2, 3));
  ASSERT_NE(kw::CreateSprite(4321, 4, 4), 0);
  kw::SetBlitTarget(4321);
  kw::ClearBackBuffer(kw::Rgb(200, 0, 0));
  kw::SetBlitTarget(-1);
  EXPECT_EQ(kw::SpritePixels(4321)[15], 0xFFC80000u);
  EXPECT_EQ(kw::BackBuffer()[0], 0xFF010203u);
  kw::FreeSprite(4321);
}

TEST_F(CoreTest, HeadlessDisplayHasFocusAndNoCloseRequest) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(kw::OpenWindowedDisplay(640, 480, "Test"), 1);
  EXPECT_EQ(kw::ScreenHasFocus(), 1);
  EXPECT_EQ(kw::PollWindowEvent(), 0);
  kw::SetWindowMode(kw::WindowMinimised);
  EXPECT_EQ(kw::GetWindowMode(), kw::WindowMinimised);
  kw::SetWindowMode(kw::WindowNormal);
}

TEST(ColourTest, RgbIsAWindowsColourValue) {
  EXPECT_EQ(kw::Rgb(1, 2, 3), 1 + 2 * 256 + 3 * 65536);
  EXPECT_EQ(kw::ColourToPixel(kw::Rgb(0x12, 0x34, 0x56)), 0xFF123456u);
}

}  // namespace
