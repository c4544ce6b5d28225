#include "app/RunDatabase.h"

#include <cstdint>
#include <deque>
#include <exception>
#include <utility>

#include "thr/THR_Parallel.h"

namespace app {

void WriteRuns(bin::ostream& out, const RunSet_t& runs) {
  bin::write_le(out, static_cast<std::uint32_t>(runs.size()));
  for (const Run_t& run : runs) run.Write(out);
}

void ReadRuns(bin::istream& in, RunSet_t& runs) {
  std::uint32_t count = 0;
  bin::read_le(in, count);
  if (!in.good()) throw BadStream_t(GLO_SRC);
  // The runs are read from the stream in order. Building their tracks and
  // the laps' parts of them, which takes most of the time, goes on on the
  // other processors meanwhile. The runs then join the set in the file's
  // order, up to the first that could not be read or built, whose failure
  // is passed on; a repeated key keeps the run that came first.
  struct Slot_t {
    StoredRun_t stored;
    Run_t built;
    std::exception_ptr failure;
  };
  std::deque<Slot_t> slots;  // a slot stays where it is while more are added
  std::exception_ptr readFailure;
  {
    thr::WorkPool_t pool;
    try {
      for (std::uint32_t i = 0; i < count; ++i) {
        StoredRun_t stored;
        Run_t::ReadStored(in, stored);
        slots.emplace_back();
        Slot_t& slot = slots.back();
        slot.stored = std::move(stored);
        try {
          pool.Add([&slot]() {
            try {
              slot.built.Assign(std::move(slot.stored));  // frees the stored points
            } catch (...) {
              slot.failure = std::current_exception();
            }
          });
        } catch (...) {
          slots.pop_back();  // no task will build it
          throw;
        }
      }
    } catch (...) {
      readFailure = std::current_exception();
    }
    pool.Wait();
  }
  for (Slot_t& slot : slots) {
    if (slot.failure) std::rethrow_exception(slot.failure);
    // A repeated key keeps the first run of it, as a set insert does; the
    // runs after it still load.
    runs.insert(std::move(slot.built));
  }
  if (readFailure) std::rethrow_exception(readFailure);
}

void SaveRunDatabase(const std::string& path, const RunSet_t& runs) {
  SaveDataFile(path, MakeFileHeader(kRunDatabaseTag, kRunDatabaseVersion),
               [&runs](bin::ostream& out) { WriteRuns(out, runs); });
}

LoadOutcome_t LoadRunDatabase(const std::string& path, RunSet_t& runs) {
  return LoadDataFile(path, kRunDatabaseTag, kRunDatabaseVersion, [&runs](bin::istream& in) { ReadRuns(in, runs); });
}

}  // namespace app
