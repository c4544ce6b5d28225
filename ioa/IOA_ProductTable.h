#pragma once
// The built-in product capability table: the protocol lists of units that do not
// send their own protocol array during the negotiation, by product id and the
// lowest software version each list applies to.
#include <functional>
#include <map>

#include "ioa/IOA_ProtocolId.h"

namespace ioa {

class ProductTable_t {
 public:
  struct Row_t {
    int productId = 0;
    int minSoftwareVersion = 0;
    ProtocolList_t protocols;
  };

  // The results of Find.
  enum FindResult_t {
    kFound = 0,
    kUnknownProduct = 1,
    kVersionTooLow = 2,
  };

  // Builds the table from its 55 rows; every row ends with the protocols that
  // all units share (P000 A000 A600 D600 A700 D700).
  ProductTable_t();
  virtual ~ProductTable_t() = default;

  // The row of the product with the greatest minimum software version not above
  // the unit's (signed comparison): kFound and the row; kUnknownProduct when the
  // product is not in the table; kVersionTooLow when every row of the product
  // needs a higher version. The out row is changed only when a row is found.
  int Find(int productId, int softwareVersion, Row_t& row) const;

  // Number of rows.
  std::size_t Size() const;

 private:
  // Product id -> (minimum software version -> row), highest version first.
  using Versions_t = std::map<int, Row_t, std::greater<int>>;
  std::map<int, Versions_t> m_products;
};

}  // namespace ioa
