// Calls from worker threads to a window of the user-interface thread: every
// value encoding, two workers against one window, stopping a worker in its
// call, the fatal report, and the worker-thread class itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "dio/DIO_Exception.h"
#include "dio/DIO_FatalDialog.h"
#include "dio/DIO_LocalAccessPoint.h"
#include "dio/DIO_Thread.h"
#include "dio/DIO_UIAccessPoint.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Event.h"
#include "plat/PLAT_Gui.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr dio::ObjectKey_t kEchoKey{9, 1};

// The object side: answers each method with a value made from its arguments.
class EchoStub : public dio::ReferenceIntf_t {
 public:
  std::vector<std::uint32_t> ran;  // indices, in the order they ran
  std::uint32_t oneWayValue = 0;

  void CallConst(dio::Stack_t& stack) override { Call(stack); }
  void Call(dio::Stack_t& stack) override {
    const bool oneWay = stack.IsOneWay();
    const std::uint32_t index = stack.PopU32();
    ran.push_back(index);
    switch (index) {
      case 0: {
        const std::uint32_t v = stack.PopU32();
        dio::CheckEmpty(stack, GLO_SRC);
        stack.PushU32(v + 1);
        break;
      }
      case 1: {
        const std::uint16_t v = stack.PopU16();
        dio::CheckEmpty(stack, GLO_SRC);
        stack.PushU16(static_cast<std::uint16_t>(v ^ 0xFFFF));
        break;
      }
      case 2: {
        const std::string t = stack.PopString();
        dio::CheckEmpty(stack, GLO_SRC);
        stack.PushString("[" + t + "]");
        break;
      }
      case 3: {
        std::vector<std::string> list = stack.PopStrings();
        std::reverse(list.begin(), list.end());
        stack.PushStrings(list);
        break;
      }
      case 4: {
        ioa::VmapRgnInfo_t r = stack.PopRegion();
        dio::CheckEmpty(stack, GLO_SRC);
        r.third += 1;
        stack.PushRegion(r);
        break;
      }
      case 6:
        oneWayValue = stack.PopU32();
        dio::CheckEmpty(stack, GLO_SRC);
        stack.SignalDone();
        return;  // the stack is the caller's again
      default:
        throw dio::Exception_t(GLO_SRC);
    }
    if (!oneWay) stack.PushU32(index);
  }
};

// The worker's side of the same methods.
class EchoProxy : public dio::Proxy_t {
 public:
  using dio::Proxy_t::Proxy_t;
  std::uint32_t Next(std::uint32_t v) {
    dio::Stack_t s;
    s.PushU32(v);
    Call(0, s);
    return Reply(s, &dio::Stack_t::PopU32);
  }
  std::uint16_t Flip(std::uint16_t v) {
    dio::Stack_t s;
    s.PushU16(v);
    Call(1, s);
    return Reply(s, &dio::Stack_t::PopU16);
  }
  std::string Bracket(const std::string& t) {
    dio::Stack_t s;
    s.PushString(t);
    Call(2, s);
    return Reply(s, &dio::Stack_t::PopString);
  }
  std::vector<std::string> Reverse(const std::vector<std::string>& l) {
    dio::Stack_t s;
    s.PushStrings(l);
    Call(3, s);
    return s.PopStrings();
  }
  ioa::VmapRgnInfo_t Region(const ioa::VmapRgnInfo_t& r) {
    dio::Stack_t s;
    s.PushRegion(r);
    Call(4, s);
    return Reply(s, &dio::Stack_t::PopRegion);
  }
  void Tell(std::uint32_t v) {
    dio::Stack_t s;
    s.SetOneWay();
    s.PushU32(v);
    Call(6, s);
  }
  void Unknown() {
    dio::Stack_t s;
    Call(77, s);
  }

 private:
  template <typename T>
  static T Reply(dio::Stack_t& s, T (dio::Stack_t::*pop)()) {
    T v = (s.*pop)();
    dio::CheckEmpty(s, GLO_SRC);
    return v;
  }
};

// A window that serves calls.
class Server : public plat::Wnd_t {
 public:
  Server() {
    local.Register(kEchoKey, echo);
    local.Register({dio::kFatalDialogInterface, 1}, fatalRef);
    EXPECT_TRUE(Create(nullptr, 0, plat::kWsOverlappedWindow, plat::RECT{0, 0, 100, 100}));
  }
  EchoStub echo;
  struct Report : err::FatalDialogIntf_t {
    std::string file, message;
    int line = 0;
    void Show(const char* f, int l, const std::string& m) override { file = f, line = l, message = m; }
  } report;
  err::FatalDialogRef_t fatalRef{report};
  dio::LocalAccessPoint_t local;
  dio::UIServer_t server{local};

 protected:
  bool OnMessage(unsigned message, plat::WPARAM w, plat::LPARAM l, plat::LRESULT& result) override {
    return server.HandleMessage(message, w, l, result);
  }
};

// What a worker runs, and how it ended.
struct Job {
  std::function<void(dio::Thread_t::Param_t&, EchoProxy&)> body;
  std::atomic<bool> calling{false};
  std::atomic<int> end{0};  // 1 ran through, 2 stopped, 3 call path fault
};

unsigned Worker(dio::Thread_t::Param_t* param) {
  auto* job = static_cast<Job*>(param->Argument());
  try {
    dio::RemoteReference_t ref(kEchoKey, param->AccessPoint());
    EchoProxy proxy(ref);
    job->body(*param, proxy);
    job->end = 1;
  } catch (const glo::Terminate_t&) {
    job->end = 2;
  } catch (const dio::Exception_t&) {
    job->end = 3;
  }
  return 0;
}

class CallTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(plat::EnsureGuiApplication()); }
  void TearDown() override { plat::PumpUntilIdle(); }

  bool PumpUntilEnded(const Job& job) {
    return plat::PumpUntil([&] { return job.end.load() != 0; }, 20000);
  }
  static void WaitCalling(const Job& job) {
    while (!job.calling.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // into its wait
  }

  Server window;
};

TEST_F(CallTest, EveryEncodingCrossesAndComesBack) {
  ioa::VmapRgnInfo_t region;
  region.first = 7;
  region.second = 65535;
  region.third = 99;
  region.kind = 2;
  std::uint32_t n = 0;
  std::uint16_t f = 0;
  std::string empty, text;
  std::vector<std::string> three, none;
  ioa::VmapRgnInfo_t back;
  Job job;
  job.body = [&](dio::Thread_t::Param_t&, EchoProxy& p) {
    n = p.Next(0xFFFFFFFE);
    f = p.Flip(0x00FF);
    empty = p.Bracket("");
    text = p.Bracket("COM12 \xC3\xA4");
    three = p.Reverse({"COM1", "COM2", "COM3"});
    none = p.Reverse({});
    back = p.Region(region);
    p.Tell(1234);
  };
  dio::Thread_t thread(Worker, window.GetSafeHwnd(), dio::kCallMessage, &job, false);
  ASSERT_TRUE(PumpUntilEnded(job));
  EXPECT_EQ(job.end.load(), 1);
  EXPECT_EQ(n, 0xFFFFFFFFu);
  EXPECT_EQ(f, 0xFF00);
  EXPECT_EQ(empty, "[]");
  EXPECT_EQ(text, "[COM12 \xC3\xA4]");
  EXPECT_EQ(three, (std::vector<std::string>{"COM3", "COM2", "COM1"}));
  EXPECT_TRUE(none.empty());
  EXPECT_EQ(back.second, 65535);
  EXPECT_EQ(back.third, 100u);
  EXPECT_EQ(back.first, 7);
  EXPECT_EQ(back.kind, 2);
  EXPECT_EQ(window.echo.oneWayValue, 1234u);
}

TEST_F(CallTest, FatalReportCrossesWithPlaceAndMessage) {
  Job job;
  job.body = [](dio::Thread_t::Param_t& param, EchoProxy&) {
    dio::RemoteReference_t ref({dio::kFatalDialogInterface, 1}, param.AccessPoint());
    err::ProxyFatalDialog_t report(ref, "Worker.cpp", 321, "it broke");
  };
  dio::Thread_t thread(Worker, window.GetSafeHwnd(), dio::kCallMessage, &job, false);
  ASSERT_TRUE(PumpUntilEnded(job));
  EXPECT_EQ(job.end.load(), 1);
  EXPECT_EQ(window.report.file, "Worker.cpp");
  EXPECT_EQ(window.report.line, 321);
  EXPECT_EQ(window.report.message, "it broke");
}

TEST_F(CallTest, TwoWorkersWithCallsOutstandingEachGetTheirOwnAnswer) {
  std::uint32_t a = 0, b = 0;
  Job jobA, jobB;
  jobA.body = [&](dio::Thread_t::Param_t&, EchoProxy& p) {
    jobA.calling = true;
    a = p.Next(100);
  };
  jobB.body = [&](dio::Thread_t::Param_t&, EchoProxy& p) {
    jobB.calling = true;
    b = p.Next(200);
  };
  dio::Thread_t threadA(Worker, window.GetSafeHwnd(), dio::kCallMessage, &jobA, false);
  dio::Thread_t threadB(Worker, window.GetSafeHwnd(), dio::kCallMessage, &jobB, false);
  // Both calls are posted before the window runs either.
  WaitCalling(jobA);
  WaitCalling(jobB);
  ASSERT_TRUE(PumpUntilEnded(jobA));
  ASSERT_TRUE(PumpUntilEnded(jobB));
  EXPECT_EQ(jobA.end.load(), 1);
  EXPECT_EQ(jobB.end.load(), 1);
  EXPECT_EQ(a, 101u);
  EXPECT_EQ(b, 201u);
}

TEST_F(CallTest, StoppedWorkerAbandonsItsQueuedCallWhichNeverRuns) {
  Job job;
  job.body = [&](dio::Thread_t::Param_t&, EchoProxy& p) {
    job.calling = true;
    p.Next(1);
  };
  {
    dio::Thread_t thread(Worker, window.GetSafeHwnd(), dio::kCallMessage, &job, false);
    WaitCalling(job);
    // The message is still queued: nothing has pumped yet.
    EXPECT_TRUE(thread.Stop(20000));
  }
  EXPECT_EQ(job.end.load(), 2);
  // The worker and its stack are gone; the message that named them is dropped.
  plat::PumpUntilIdle();
  EXPECT_TRUE(window.echo.ran.empty());
}

TEST_F(CallTest, FaultOnTheWindowSideLeavesTheWorkerWaitingForItsStop) {
  Job job;
  job.body = [](dio::Thread_t::Param_t&, EchoProxy& p) { p.Unknown(); };
  dio::Thread_t thread(Worker, window.GetSafeHwnd(), dio::kCallMessage, &job, false);
  bool thrown = false;
  const auto end = Clock::now() + std::chrono::seconds(20);
  while (!thrown && Clock::now() < end) {
    try {
      plat::PumpUntilIdle();
    } catch (const dio::Exception_t&) {
      thrown = true;
    }
  }
  EXPECT_TRUE(thrown);
  EXPECT_EQ(job.end.load(), 0);
  EXPECT_TRUE(thread.Stop(20000));
  EXPECT_EQ(job.end.load(), 2);
}

TEST_F(CallTest, PostingToAWindowThatIsGoneFailsAtOnce) {
  Server gone;
  const plat::HWND h = gone.GetSafeHwnd();
  gone.DestroyWindow();
  Job job;
  unsigned long code = 0;
  job.body = [&](dio::Thread_t::Param_t&, EchoProxy& p) {
    try {
      p.Next(1);
    } catch (const dio::WindowsError_t& e) {
      code = e.ErrorCode();
      throw;
    }
  };
  dio::Thread_t thread(Worker, h, dio::kCallMessage, &job, false);
  ASSERT_TRUE(PumpUntilEnded(job));
  EXPECT_EQ(job.end.load(), 3);
  EXPECT_EQ(code, plat::kErrorInvalidWindowHandle);
}

// ---- the worker-thread class ----------------------------------------------

TEST_F(CallTest, WaitingForAnotherWorkerAlsoWatchesTheOwnStop) {
  // The inner worker runs until it is stopped; the outer one waits for it.
  Job inner;
  inner.body = [](dio::Thread_t::Param_t& param, EchoProxy&) {
    plat::WaitForSingleObject(param.StopEvent().Handle(), plat::kInfinite);
  };
  dio::Thread_t innerThread(Worker, window.GetSafeHwnd(), dio::kCallMessage, &inner, false);
  Job outer;
  outer.body = [&](dio::Thread_t::Param_t& param, EchoProxy&) {
    outer.calling = true;
    innerThread.WaitForEnd(param.StopEvent().Handle());
  };
  {
    dio::Thread_t outerThread(Worker, window.GetSafeHwnd(), dio::kCallMessage, &outer, false);
    WaitCalling(outer);
    EXPECT_TRUE(outerThread.Stop(20000));
  }
  EXPECT_EQ(outer.end.load(), 2);
  EXPECT_EQ(inner.end.load(), 0);  // still running: only the waiter was stopped
}

TEST_F(CallTest, DestroyingAnEndedThreadReturnsAtOnce) {
  Job job;
  job.body = [](dio::Thread_t::Param_t&, EchoProxy&) {};
  auto thread = std::make_unique<dio::Thread_t>(Worker, window.GetSafeHwnd(), dio::kCallMessage, &job, false);
  ASSERT_EQ(plat::WaitForSingleObject(thread->Handle(), 20000), plat::kWaitObject0);
  // Only the owner's end is timed: it must not wait its 3000 ms.
  const auto start = Clock::now();
  thread.reset();
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(2500));
}

struct Stubborn {
  std::atomic<int> state{0};
  std::atomic<bool> release{false};  // set by the test once the owner is gone
};

// Ignores its stop and, after its owner gave up, still uses its stop event and
// access point: the post to the window still works, nothing is freed under it.
unsigned IgnoresStop(dio::Thread_t::Param_t* param) {
  auto* s = static_cast<Stubborn*>(param->Argument());
  s->state = 1;
  const auto deadline = Clock::now() + std::chrono::seconds(60);
  while (!s->release.load() && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const bool stopped = param->StopEvent().Wait(0);
  dio::Stack_t stack;
  bool terminated = false;
  try {
    param->AccessPoint().Call(stack);
  } catch (const glo::Terminate_t&) {
    terminated = true;
  }
  s->state = stopped && terminated ? 2 : 3;
  return 0;
}

TEST_F(CallTest, ThreadOutlivingItsOwnerUsesNoFreedMemory) {
  static Stubborn stubborn;  // outlives everything the thread may touch
  const auto start = Clock::now();
  {
    dio::Thread_t thread(IgnoresStop, window.GetSafeHwnd(), dio::kCallMessage, &stubborn, false);
    while (stubborn.state.load() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(2900));
  EXPECT_EQ(stubborn.state.load(), 1);
  stubborn.release = true;
  const auto deadline = Clock::now() + std::chrono::seconds(30);
  while (stubborn.state.load() < 2 && Clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(stubborn.state.load(), 2);
  plat::PumpUntilIdle();  // its abandoned call is dropped
  EXPECT_TRUE(window.echo.ran.empty());
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // let it return
}

}  // namespace
