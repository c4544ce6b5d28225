#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>
#include <regex>
#include <string>
#include <thread>

#include "win/WIN_StructuredException.h"

namespace {

// The faults are made through pointers and divisors the compiler cannot see, and
// without sanitizer checks, so that the processor itself faults.
int* volatile g_null = nullptr;
volatile int g_zero = 0;
volatile int g_sink = 0;

__attribute__((noinline, no_sanitize("address", "undefined"))) int ReadNull() { return *g_null; }
__attribute__((noinline, no_sanitize("address", "undefined"))) void WriteNull() { *g_null = 7; }
__attribute__((noinline, no_sanitize("address", "undefined"))) int DivideByZero() { return 1 / g_zero; }

__attribute__((noinline, no_sanitize("address", "undefined"))) int Recurse(int depth) {
  volatile char frame[512];
  frame[0] = static_cast<char>(depth);
  // The limit is far beyond any stack; it only keeps the recursion finite on paper.
  return depth < 1000000000 ? Recurse(depth + 1) + frame[0] : 0;
}

// Runs the action in a new thread that installed the translator and answers the
// text of the StructuredException_t it raised ("none" when it raised nothing).
template <typename Action>
std::string FaultTextInThread(Action action, unsigned long* code = nullptr) {
  std::string text = "none";
  std::thread worker([&] {
    win::InstallSeTranslator();
    try {
      action();
    } catch (const win::StructuredException_t& e) {
      text = e.what();
      if (code) *code = e.Code();
    }
  });
  worker.join();
  return text;
}

const std::string kProgramAddress = "program address 0x[0-9A-F]{" + std::to_string(2 * sizeof(void*)) + "}\\.";

TEST(StructuredException, FaultsOfAnInstalledThreadArriveAsThatType) {
  struct Case {
    const char* name;
    void (*action)();
    unsigned long code;
    std::string pattern;
  };
  const Case cases[] = {
      {"null read", [] { g_sink = ReadNull(); }, 0xC0000005UL,
       "Read access violation at data address 0x0,\n" + kProgramAddress},
      {"null write", [] { WriteNull(); }, 0xC0000005UL,
       "Write access violation at data address 0x0,\n" + kProgramAddress},
      {"division by zero", [] { g_sink = DivideByZero(); }, 0xC0000094UL,
       "Integer divide by zero at " + kProgramAddress},
  };
  for (const Case& c : cases) {
    unsigned long code = 0;
    const std::string text = FaultTextInThread(c.action, &code);
    EXPECT_TRUE(std::regex_match(text, std::regex(c.pattern))) << c.name << ": " << text;
    EXPECT_EQ(c.code, code) << c.name;
  }
}

TEST(StructuredException, ThreadGoesOnAfterATranslatedFault) {
  // Two faults in a row on one thread: the first must not leave the signal blocked.
  int caught = 0;
  std::thread worker([&] {
    EXPECT_EQ(nullptr, win::InstallSeTranslator());
    EXPECT_EQ(&win::StructuredExceptionTranslator, win::InstallSeTranslator());
    for (int i = 0; i < 2; ++i) {
      try {
        g_sink = DivideByZero();
      } catch (const win::StructuredException_t&) {
        ++caught;
      }
      try {
        WriteNull();
      } catch (const win::StructuredException_t&) {
        ++caught;
      }
    }
  });
  worker.join();
  EXPECT_EQ(4, caught);
}

TEST(StructuredException, TextOfOtherCodes) {
  win::ExceptionRecord_t record;
  record.address = 0x1234ABCD;
  const win::ExceptionPointers_t pointers{&record, nullptr};
  const std::string address = std::string(2 * sizeof(void*) - 8, '0') + "1234ABCD";

  EXPECT_EQ("Exception: 0xE06D7363 at program address 0x" + address + ".",
            std::string(win::StructuredException_t(0xE06D7363UL, &pointers).what()));
  EXPECT_EQ("Stack overflow at program address 0x" + address + ".",
            std::string(win::StructuredException_t(0xC00000FDUL, &pointers).what()));

  record.numberParameters = 2;
  record.information[0] = 1;
  record.information[1] = 0xBEEF;
  EXPECT_EQ("Write access violation at data address 0xbeef,\nprogram address 0x" + address + ".",
            std::string(win::StructuredException_t(0xC0000005UL, &pointers).what()));

  win::StructuredException_t copy(win::StructuredException_t(0xC0000094UL, &pointers));
  EXPECT_EQ("Integer divide by zero at program address 0x" + address + ".", std::string(copy.what()));
  EXPECT_EQ(0xC0000094UL, copy.Code());
}

class StructuredExceptionDeath : public ::testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(StructuredExceptionDeath, StackOverflowIsReportedAndEndsTheProcess) {
  EXPECT_EXIT(
      {
        // In a thread, whose stack has a fixed size whatever the stack limit.
        std::thread([] {
          win::InstallSeTranslator();
          try {
            g_sink = Recurse(0);
          } catch (...) {
          }
        }).join();
      },
      ::testing::KilledBySignal(SIGSEGV), "Stack overflow at program address 0x[0-9A-F]+\\.");
}

TEST_F(StructuredExceptionDeath, ThreadWithoutTranslatorGetsTheDefault) {
  EXPECT_EXIT(
      {
        std::thread([] { win::InstallSeTranslator(); }).join();
        try {
          WriteNull();
        } catch (...) {
        }
        std::_Exit(0);
      },
      ::testing::KilledBySignal(SIGSEGV), "");
}

// Breaks the allocator's list of free chunks of one small size the way a write
// after free would, so that the next allocation of that size faults inside the
// allocator while it holds its lock: the C library's chunk layout, and its link
// word stored xor-ed with the link's own address shifted by 12.
__attribute__((noinline, no_sanitize("address", "undefined"))) void CorruptHeapAndAllocate() {
  constexpr std::size_t kSize = 40;
  void* volatile chunks[8];
  for (auto& chunk : chunks) chunk = std::malloc(kSize);
  void* volatile guard = std::malloc(kSize);
  // Seven fill the thread's cache of free chunks, the eighth goes to the shared list.
  for (auto& chunk : chunks) std::free(chunk);
  auto* volatile link = static_cast<std::uintptr_t*>(chunks[7]);
  const std::uintptr_t unmapped = 0x1000;
  *static_cast<volatile std::uintptr_t*>(link) = (reinterpret_cast<std::uintptr_t>(link) >> 12) ^ unmapped;
  for (int i = 0; i < 8; ++i) g_sink = static_cast<int>(reinterpret_cast<std::uintptr_t>(std::malloc(kSize)));
  std::free(guard);
}

#if defined(__SANITIZE_ADDRESS__)
#define STRIDE_OWN_ALLOCATOR 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define STRIDE_OWN_ALLOCATOR 0
#endif
#endif
#ifndef STRIDE_OWN_ALLOCATOR
#define STRIDE_OWN_ALLOCATOR 1
#endif

// Building the exception would allocate and wait for the lock the faulting thread
// holds: the fault is reported without allocating and the process ends.
TEST_F(StructuredExceptionDeath, FaultInsideTheAllocatorEndsTheProcessWithAReport) {
  if (!STRIDE_OWN_ALLOCATOR) GTEST_SKIP() << "the sanitizer's allocator replaces the C library's";
  EXPECT_EXIT(
      {
        ::alarm(10);  // a hang ends by SIGALRM, which the test does not accept
        std::thread([] {
          win::InstallSeTranslator();
          try {
            CorruptHeapAndAllocate();
          } catch (...) {
          }
        }).join();
        std::_Exit(0);
      },
      ::testing::KilledBySignal(SIGSEGV),
      "Fault inside the memory allocator.*\n.*access violation at data address 0x10[0-9A-F]{2},\n" + kProgramAddress);
}

}  // namespace
