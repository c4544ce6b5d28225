#pragma once
// The application layer of the device protocol. Constructing a channel on an
// open link is the negotiation: the unit says which product it is and which
// protocols it speaks (itself, or through the built-in product table for units
// that send no protocol array), the program applies its corrections to that
// list, tells a serial link whether multi-packet transfers are allowed and sends
// the closing data request. Afterwards the channel answers questions about the
// protocol list and sends the few device commands the program needs outside the
// track download.
//
// A channel is used by the thread that owns its link; the link must outlive it.
#include <cstdint>

#include "glo/GLO_NonCopyable.h"
#include "ioa/IOA_Exception.h"
#include "ioa/IOA_ProductData.h"
#include "ioa/IOA_ProductTable.h"
#include "ioa/IOA_Protocols.h"
#include "ioa/IOA_VmapRgnInfo.h"
#include "iol/IOL_Link.h"

namespace ioa {

// The phase of a transfer, as the shared progress object carries it.
enum Phase_t {
  kPhaseStarted = 0,   // connecting and negotiating
  kPhaseTracks = 8,    // receiving tracks; the progress range is the record count
  kPhaseLaps = 10,     // receiving laps
  kPhaseFinished = 11, // the transfer is over
};

class Channel_t : glo::NonCopyable_t {
 public:
  // A data-type layer met a data type it does not know after an application
  // protocol.
  class DataTypeNotFound_t : public Exception_t {
   public:
    DataTypeNotFound_t(const char* file, int line) : Exception_t(file, line) {}
  };

  // Negotiates with the unit on the link. Any exception of the link (a unit
  // that does not answer: iol::Timeout_t; a damaged answer: iol::BadFrame_t; a
  // stop request: glo::Terminate_t) ends the construction.
  explicit Channel_t(iol::Link_t& link);
  virtual ~Channel_t();

  // The unit's product data, as it answered the product request.
  const ProductData_t& GetProductData() const { return m_productData; }
  // The effective protocol list: the unit's order, the program's additions last.
  const Protocols_t& GetProtocols() const { return m_protocols; }

  // Asks the unit for its unit id (command 14) and returns it.
  std::uint32_t ReadUnitId();
  // Asks the unit for its map region information (command 63) into 'packet'.
  void RequestVmapRgnInfo(VmapRgnInfo_t& packet);
  // Switches the unit off (command 8); the unit acknowledges nothing, and the
  // link does not wait for it.
  void TurnOffPower();
  // Waits 200 ms; glo::Terminate_t as soon as the link's abort event is set.
  void Pause();

  // A906 is in the list and the entry right after its first occurrence is D906.
  bool SupportsA906() const;
  // A900 is in the list.
  bool SupportsA900() const;
  // Returns when A010 is in the list; otherwise throws ioa::Exception_t.
  void RequireA010() const;
  // Sends the data request with the empty set.
  void SendDataRqst();

 protected:
  iol::Link_t& Link() { return m_link; }

 private:
  void Negotiate();

  iol::Link_t& m_link;
  ProductData_t m_productData;
  ProductTable_t m_productTable;
  Protocols_t m_protocols;
};

}  // namespace ioa
