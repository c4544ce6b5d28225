#include "plat/PLAT_Signal.h"

#include "plat/PLAT_Error.h"
#include "plat/PLAT_FileIo.h"

#include <dlfcn.h>
#include <link.h>
#include <pthread.h>
#include <signal.h>
#include <sys/mman.h>
#include <ucontext.h>
#include <unistd.h>
#include <unwind.h>

#include <cerrno>
#include <cstring>
#include <mutex>

namespace plat {
namespace {

constexpr int kFaultSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL};

// Dispositions found before ours, for threads that translate nothing.
struct sigaction g_previous[NSIG];
std::once_flag g_installOnce;

// Trivial thread-locals only: the signal handler reads them.
thread_local FaultHandler_t t_handler = nullptr;
thread_local int t_depth = 0;                 // faults being handled on this thread
thread_local std::uintptr_t t_stackLow = 0;   // lowest address of this thread's stack

std::size_t PageSize() {
  const long size = ::sysconf(_SC_PAGESIZE);
  return size > 0 ? static_cast<std::size_t>(size) : 4096;
}

// An alternate signal stack for the thread, with a guard page below it, so that a
// handler can still run when the thread's own stack is exhausted. A thread that
// already has one keeps it.
class AltStack_t {
 public:
  AltStack_t() {
    stack_t current;
    if (::sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE)) return;
    const std::size_t page = PageSize();
    std::size_t size = 64 * 1024 + static_cast<std::size_t>(SIGSTKSZ);
    size = (size + page - 1) / page * page;
    void* memory = ::mmap(nullptr, size + page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) return;
    ::mprotect(memory, page, PROT_NONE);
    stack_t stack{};
    stack.ss_sp = static_cast<char*>(memory) + page;
    stack.ss_size = size;
    stack.ss_flags = 0;
    if (::sigaltstack(&stack, nullptr) != 0) {
      ::munmap(memory, size + page);
      return;
    }
    m_memory = memory;
    m_length = size + page;
  }
  ~AltStack_t() {
    if (!m_memory) return;
    stack_t current;
    if (::sigaltstack(nullptr, &current) == 0 &&
        current.ss_sp == static_cast<char*>(m_memory) + PageSize()) {
      stack_t off{};
      off.ss_flags = SS_DISABLE;
      ::sigaltstack(&off, nullptr);
    }
    ::munmap(m_memory, m_length);
  }
  AltStack_t(const AltStack_t&) = delete;
  AltStack_t& operator=(const AltStack_t&) = delete;

 private:
  void* m_memory = nullptr;
  std::size_t m_length = 0;
};

void FindStackLimit() {
  if (t_stackLow) return;
  pthread_attr_t attr;
  if (::pthread_getattr_np(::pthread_self(), &attr) != 0) return;
  void* address = nullptr;
  std::size_t size = 0;
  if (::pthread_attr_getstack(&attr, &address, &size) == 0) t_stackLow = reinterpret_cast<std::uintptr_t>(address);
  ::pthread_attr_destroy(&attr);
}

std::uintptr_t StackPointer(void* context) {
  const ucontext_t* uc = static_cast<const ucontext_t*>(context);
  if (!uc) return 0;
#if defined(__x86_64__)
  return static_cast<std::uintptr_t>(uc->uc_mcontext.gregs[REG_RSP]);
#elif defined(__i386__)
  return static_cast<std::uintptr_t>(uc->uc_mcontext.gregs[REG_ESP]);
#elif defined(__aarch64__)
  return static_cast<std::uintptr_t>(uc->uc_mcontext.sp);
#else
  return 0;
#endif
}

// An exhausted stack: a fault on the page just above the lowest stack address or
// in the megabyte below it (a large frame may jump over the guard page), or a fault
// close to the stack pointer (the stack is mapped there unless it ran out).
bool IsStackOverflow(int sig, std::uintptr_t address, void* context) {
  if (sig != SIGSEGV) return false;
  const std::uintptr_t page = PageSize();
  if (t_stackLow != 0) {
    const std::uintptr_t below = 1024 * 1024;
    const std::uintptr_t from = t_stackLow > below ? t_stackLow - below : 0;
    if (address >= from && address < t_stackLow + page) return true;
  }
  const std::uintptr_t sp = StackPointer(context);
  const std::uintptr_t window = 16 * page;
  return sp > window && address >= sp - window && address < sp + window;
}

void EndProcess(int sig) {
  struct sigaction action{};
  action.sa_handler = SIG_DFL;
  ::sigemptyset(&action.sa_mask);
  ::sigaction(sig, &action, nullptr);
  sigset_t set;
  ::sigemptyset(&set);
  ::sigaddset(&set, sig);
  ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
  ::raise(sig);
  ::_exit(128 + sig);
}

// What would have happened without us: the previous handler, else the system's
// default action for the signal.
void DefaultAction(int sig, siginfo_t* info, void* context) {
  const struct sigaction& previous = g_previous[sig];
  if (previous.sa_flags & SA_SIGINFO) {
    if (previous.sa_sigaction) {
      previous.sa_sigaction(sig, info, context);
      return;
    }
  } else if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN && previous.sa_handler) {
    previous.sa_handler(sig);
    return;
  }
  EndProcess(sig);
}

std::uintptr_t ProgramAddress(siginfo_t* info, void* context) {
  const ucontext_t* uc = static_cast<const ucontext_t*>(context);
#if defined(__x86_64__)
  if (uc) return static_cast<std::uintptr_t>(uc->uc_mcontext.gregs[REG_RIP]);
#elif defined(__i386__)
  if (uc) return static_cast<std::uintptr_t>(uc->uc_mcontext.gregs[REG_EIP]);
#elif defined(__aarch64__)
  if (uc) return static_cast<std::uintptr_t>(uc->uc_mcontext.pc);
#else
  (void)uc;
#endif
  return reinterpret_cast<std::uintptr_t>(info->si_addr);
}

unsigned long AccessKind(void* context) {
#if defined(__x86_64__)
  // Page-fault error code: bit 1 write, bit 4 instruction fetch.
  const ucontext_t* uc = static_cast<const ucontext_t*>(context);
  if (uc) {
    const auto error = static_cast<unsigned long>(uc->uc_mcontext.gregs[REG_ERR]);
    if (error & 0x10) return kFaultExecute;
    if (error & 0x2) return kFaultWrite;
  }
#else
  (void)context;
#endif
  return kFaultRead;
}

FaultInfo_t Describe(int sig, siginfo_t* info, void* context) {
  FaultInfo_t fault{};
  fault.programAddress = ProgramAddress(info, context);
  switch (sig) {
    case SIGSEGV:
      fault.code = kExceptionAccessViolation;
      fault.hasDataAddress = true;
      fault.access = AccessKind(context);
      fault.dataAddress = reinterpret_cast<std::uintptr_t>(info->si_addr);
      break;
    case SIGBUS:
      fault.code = info->si_code == BUS_ADRALN ? kExceptionDatatypeMisalignment : kExceptionInPageError;
      fault.hasDataAddress = true;
      fault.dataAddress = reinterpret_cast<std::uintptr_t>(info->si_addr);
      break;
    case SIGFPE:
      switch (info->si_code) {
        case FPE_INTDIV: fault.code = kExceptionIntDivideByZero; break;
        case FPE_INTOVF: fault.code = kExceptionIntOverflow; break;
        case FPE_FLTDIV: fault.code = kExceptionFltDivideByZero; break;
        case FPE_FLTOVF: fault.code = kExceptionFltOverflow; break;
        case FPE_FLTUND: fault.code = kExceptionFltUnderflow; break;
        case FPE_FLTRES: fault.code = kExceptionFltInexactResult; break;
        case FPE_FLTSUB: fault.code = kExceptionArrayBoundsExceeded; break;
        default: fault.code = kExceptionFltInvalidOperation; break;
      }
      break;
    default:  // SIGILL
      fault.code = info->si_code == ILL_PRVOPC || info->si_code == ILL_PRVREG ? kExceptionPrivInstruction
                                                                              : kExceptionIllegalInstruction;
      break;
  }
  return fault;
}

// The code of the C library's memory allocator, as far as its exported entry
// points tell. A fault there usually means a corrupted heap, and the thread may
// hold the allocator's lock: building an exception would allocate and wait on it
// for ever.
struct CodeRange_t {
  std::uintptr_t from = 0, to = 0;
};
CodeRange_t g_allocator[16];
std::size_t g_allocatorCount = 0;

void FindAllocator() {
  for (const char* name : {"malloc", "free", "calloc", "realloc", "reallocarray", "aligned_alloc", "memalign",
                           "posix_memalign", "valloc", "pvalloc", "malloc_usable_size", "malloc_trim"}) {
    void* address = ::dlsym(RTLD_DEFAULT, name);
    Dl_info info;
    void* entry = nullptr;
    if (!address || !::dladdr1(address, &info, &entry, RTLD_DL_SYMENT) || !entry) continue;
    const auto* symbol = static_cast<const ElfW(Sym)*>(entry);
    if (symbol->st_size == 0) continue;
    const auto from = reinterpret_cast<std::uintptr_t>(info.dli_saddr);
    if (g_allocatorCount < sizeof g_allocator / sizeof g_allocator[0])
      g_allocator[g_allocatorCount++] = {from, from + symbol->st_size};
  }
}

bool InAllocator(std::uintptr_t address) {
  for (std::size_t i = 0; i < g_allocatorCount; ++i)
    if (address >= g_allocator[i].from && address < g_allocator[i].to) return true;
  return false;
}

struct AllocatorSearch_t {
  int frames;
  bool found;
};

_Unwind_Reason_Code VisitFrame(_Unwind_Context* context, void* argument) {
  auto* search = static_cast<AllocatorSearch_t*>(argument);
  int beforeInstruction = 0;
  const std::uintptr_t ip = _Unwind_GetIPInfo(context, &beforeInstruction);
  if (InAllocator(ip)) {
    search->found = true;
    return _URC_END_OF_STACK;
  }
  return ++search->frames > 64 ? _URC_END_OF_STACK : _URC_NO_REASON;
}

// True when the faulting instruction, or a caller of the code it belongs to, is
// in the allocator. The unwinder finds its tables without locks or allocation.
bool FaultInAllocator(std::uintptr_t programAddress) {
  if (InAllocator(programAddress)) return true;
  AllocatorSearch_t search{0, false};
  _Unwind_Backtrace(&VisitFrame, &search);
  return search.found;
}

struct DepthGuard_t {
  DepthGuard_t() noexcept { ++t_depth; }
  ~DepthGuard_t() { --t_depth; }
};

void OnFaultSignal(int sig, siginfo_t* info, void* context) {
  const int savedErrno = errno;
  const FaultHandler_t handler = t_handler;
  // Faults of threads without a handler, and signals sent by kill(), are not ours.
  if (!handler || info->si_code <= 0) {
    DefaultAction(sig, info, context);
    errno = savedErrno;
    return;
  }
  DepthGuard_t depth;
  if (t_depth > 2) {
    WriteFaultReport("Fault while reporting a fault.");
    EndProcess(sig);
  }
  FaultInfo_t fault = Describe(sig, info, context);
  if (t_depth == 1 && FaultInAllocator(fault.programAddress)) {
    WriteFaultReport("Fault inside the memory allocator (a corrupted heap); the process ends.");
    fault.fatal = true;
    handler(fault);
    EndProcess(sig);
  }
  if (t_depth > 1 || IsStackOverflow(sig, fault.dataAddress, context)) {
    // Unwinding from here could fault again: report and end the process.
    if (t_depth == 1) {
      fault.code = kExceptionStackOverflow;
      fault.hasDataAddress = false;
    }
    fault.fatal = true;
    handler(fault);
    EndProcess(sig);
  }
  handler(fault);  // normally throws
  DefaultAction(sig, info, context);
  errno = savedErrno;
}

void InstallSignalHandlers() {
  FindAllocator();
  for (int sig : kFaultSignals) {
    struct sigaction action{};
    action.sa_sigaction = &OnFaultSignal;
    ::sigemptyset(&action.sa_mask);
    // No deferral: the handler is left by an exception, not by returning, so the
    // signal must not stay blocked.
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
    ::sigaction(sig, &action, &g_previous[sig]);
  }
}

}  // namespace

FaultHandler_t SetThreadFaultHandler(FaultHandler_t handler) {
  std::call_once(g_installOnce, InstallSignalHandlers);
  if (handler) {
    static thread_local AltStack_t altStack;
    (void)altStack;
    FindStackLimit();
  }
  const FaultHandler_t previous = t_handler;
  t_handler = handler;
  return previous;
}

void WriteFaultReport(const char* text) {
  for (const char* part : {text, "\n"}) {
    std::size_t written = 0;
    WriteAll(STDERR_FILENO, part, std::strlen(part), written, 1000);
  }
}

}  // namespace plat
