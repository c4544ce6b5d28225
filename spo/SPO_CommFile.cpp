#include "spo/SPO_CommFile.h"

namespace spo {

CommFile_t::CommFile_t(const std::string& name, unsigned long /*flagsAndAttributes*/) {
  if (!m_device.Open(name)) throw CommFileError_t(GLO_SRC);
}

CommFile_t::~CommFile_t() {
  try {
    m_device.Close();
  } catch (...) {
  }
}

void CommFile_t::GetState(Dcb_t& dcb) {
  if (!m_device.GetState(dcb)) throw CommFileError_t(GLO_SRC);
}

void CommFile_t::SetState(const Dcb_t& dcb) {
  if (!m_device.SetState(dcb)) throw CommFileError_t(GLO_SRC);
}

void CommFile_t::GetTimeouts(CommTimeouts_t& timeouts) {
  if (!m_device.GetTimeouts(timeouts)) throw CommFileError_t(GLO_SRC);
}

void CommFile_t::SetTimeouts(const CommTimeouts_t& timeouts) {
  if (!m_device.SetTimeouts(timeouts)) throw CommFileError_t(GLO_SRC);
}

void CommFile_t::Setup(unsigned long inQueue, unsigned long outQueue) {
  if (!m_device.Setup(inQueue, outQueue)) throw CommFileError_t(GLO_SRC);
}

void CommFile_t::Purge(unsigned long flags) {
  if (!m_device.Purge(flags)) throw CommFileError_t(GLO_SRC);
}

void CommFile_t::ClearError(unsigned long& errors, ComStat_t& status) {
  if (!m_device.ClearError(errors, status)) throw CommFileError_t(GLO_SRC);
}

}  // namespace spo
