#include "ioa/IOA_Channel.h"

#include <algorithm>

#include "ioa/IOA_DataRqst.h"
#include "ioa/IOA_Int16.h"
#include "ioa/IOA_ProductRqst.h"
#include "ioa/IOA_UnitId.h"
#include "ios/IOS_SerialLink.h"
#include "thr/THR_Delay.h"

namespace ioa {

namespace {

// How long the unit has to send its protocol array after its product data.
constexpr std::uint32_t kProtocolArrayTimeoutMs = 1000;
constexpr unsigned long kPauseMs = 200;

const ProtocolId_t kA001{'A', 1};
const ProtocolId_t kA010{'A', 10};
const ProtocolId_t kA900{'A', 900};
const ProtocolId_t kA906{'A', 906};
const ProtocolId_t kD906{'D', 906};
const ProtocolId_t kT001{'T', 1};

// Units that can send their map region information without listing A900.
struct A900Range_t {
  int productId;
  int fromVersion;
  int toVersion;
};
const A900Range_t kA900Units[] = {
    {67, 202, 204}, {78, 200, 205}, {118, 202, 203}, {119, 200, 202}, {129, 200, 201},
};

bool NeedsA900(int productId, int softwareVersion) {
  for (const A900Range_t& r : kA900Units)
    if (r.productId == productId && softwareVersion >= r.fromVersion && softwareVersion <= r.toVersion) return true;
  return false;
}

}  // namespace

Channel_t::Channel_t(iol::Link_t& link) : m_link(link) { Negotiate(); }

Channel_t::~Channel_t() {}

void Channel_t::Negotiate() {
  m_link.SendPacket(ProductRqst_t(), m_link.DefaultTimeout());
  m_link.ReceivePacket(m_productData, m_link.DefaultTimeout());

  // Older units send no protocol array: silence here is an answer too.
  try {
    m_link.ReceivePacket(m_protocols, kProtocolArrayTimeoutMs);
  } catch (const iol::Timeout_t&) {
    m_protocols.protocols.clear();
  }

  if (!m_protocols.protocols.empty()) {
    m_protocols.AddUnique(kA001);
  } else {
    ProductTable_t::Row_t row;
    if (m_productTable.Find(m_productData.productId, m_productData.softwareVersion, row) == ProductTable_t::kFound)
      m_protocols.protocols = row.protocols;
  }

  if (NeedsA900(m_productData.productId, m_productData.softwareVersion)) m_protocols.AddUnique(kA900);

  if (auto* serial = dynamic_cast<ios::SerialLink_t*>(&m_link)) serial->SetMultiPacket(m_protocols.Contains(kT001));

  SendDataRqst();
}

std::uint32_t Channel_t::ReadUnitId() {
  m_link.SendPacket(Command_t(Command_t::kSendUnitId), m_link.DefaultTimeout());
  UnitIdPacket_t answer;
  m_link.ReceivePacket(answer, m_link.DefaultTimeout());
  return answer.unitId;
}

void Channel_t::RequestVmapRgnInfo(VmapRgnInfo_t& packet) {
  m_link.SendPacket(Command_t(Command_t::kSendVmapRgnInfo), m_link.DefaultTimeout());
  m_link.ReceivePacket(packet, m_link.DefaultTimeout());
}

void Channel_t::TurnOffPower() { m_link.SendPacket(Command_t(Command_t::kTurnOff), m_link.DefaultTimeout()); }

void Channel_t::Pause() {
  // The abort event is the owner's stop event: a stop request ends the pause.
  thr::Delay(kPauseMs, m_link.AbortEvent());
}

bool Channel_t::SupportsA906() const {
  const ProtocolList_t& list = m_protocols.protocols;
  const auto a906 = std::find(list.begin(), list.end(), kA906);
  return a906 != list.end() && a906 + 1 != list.end() && a906[1] == kD906;
}

bool Channel_t::SupportsA900() const { return m_protocols.Contains(kA900); }

void Channel_t::RequireA010() const {
  if (!m_protocols.Contains(kA010)) throw Exception_t(GLO_SRC);
}

void Channel_t::SendDataRqst() { m_link.SendPacket(DataRqst_t(), m_link.DefaultTimeout()); }

}  // namespace ioa
