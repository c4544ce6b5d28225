#include "app/CatchChain.h"

#include <exception>
#include <ios>
#include <new>
#include <stdexcept>
#include <string>
#include <typeinfo>

#include "glo/GLO_Exception.h"
#include "win/WIN_StructuredException.h"

namespace app {

namespace {

// One handler per type, most specific first; the line of each handler tells
// which one caught.
void Dispatch(err::FatalDialogIntf_t& report) {
  try {
    throw;
  } catch (const glo::Exception_t& e) {
    report.Show(e.SourceFile(), e.Line(), e.Message());
  } catch (const win::StructuredException_t& e) {
    report.Show(GLO_SRC, e.what());
  } catch (const std::length_error& e) {
    report.Show(GLO_SRC, e.what());
  } catch (const std::domain_error& e) {
    report.Show(GLO_SRC, e.what());
  } catch (const std::out_of_range& e) {
    report.Show(GLO_SRC, e.what());
  } catch (const std::invalid_argument& e) {
    report.Show(GLO_SRC, e.what());
  } catch (const std::ios_base::failure& e) {
    report.Show(GLO_SRC, e.what());
  } catch (const std::range_error& e) {
    report.Show(GLO_SRC, e.what());
  } catch (const std::overflow_error& e) {
    report.Show(GLO_SRC, e.what());
  } catch (const std::underflow_error& e) {
    report.Show(GLO_SRC, e.what());
  } catch (const std::bad_alloc& e) {
    report.Show(GLO_SRC, e.what());
  } catch (const std::bad_cast& e) {
    report.Show(GLO_SRC, e.what());
  } catch (const std::bad_exception& e) {
    report.Show(GLO_SRC, e.what());
  } catch (const std::bad_typeid& e) {
    report.Show(GLO_SRC, e.what());
  } catch (const std::logic_error& e) {
    report.Show(GLO_SRC, e.what());
  } catch (const std::runtime_error& e) {
    report.Show(GLO_SRC, e.what());
  } catch (const std::exception& e) {
    report.Show(GLO_SRC, e.what());
  } catch (...) {
    report.Show(GLO_SRC, std::string());
  }
}

}  // namespace

void ReportCaughtException(err::FatalDialogIntf_t& report) noexcept {
  try {
    Dispatch(report);
  } catch (...) {
    // The report itself failed; it has written its minimal form already.
  }
}

bool RunInCatchChain(const std::function<void()>& body, err::FatalDialogIntf_t& report) {
  try {
    body();
    return true;
  } catch (...) {
    ReportCaughtException(report);
    return false;
  }
}

std::string CaughtExceptionText() noexcept {
  try {
    try {
      throw;
    } catch (const glo::InvalidInput_t& e) {
      return e.Text();
    } catch (const glo::Exception_t& e) {
      if (!e.Message().empty()) return e.Message();
      return std::string(e.SourceFile() != nullptr ? e.SourceFile() : "") + "(" + std::to_string(e.Line()) + ")";
    } catch (const std::exception& e) {
      return e.what();
    } catch (...) {
      return std::string();
    }
  } catch (...) {
    return std::string();
  }
}

}  // namespace app
