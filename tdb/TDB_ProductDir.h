#pragma once
// The directory of the installed map products: every product of the
// installation records read from its description file and checked by its
// signature, ordered by product id, with the default product.
#include <cstdint>
#include <map>

#include "glo/GLO_Exception.h"
#include "tdb/TDB_Product.h"
#include "tdb/TDB_Registry.h"

namespace tdb {

class ProductDir_t {
 public:
  // No map product is registered (or the registration cannot be read).
  class NoProductsInstalled_t : public glo::Exception_t {
   public:
    NoProductsInstalled_t(const char* file, int line) : glo::Exception_t(file, line, std::string()) {}
  };
  // A product whose description file cannot be opened, or a lookup of an id
  // the directory does not hold.
  class ProductNotFound_t : public glo::Exception_t {
   public:
    ProductNotFound_t(const char* file, int line) : glo::Exception_t(file, line, std::string()) {}
  };

  // Reads every installed product of the registry. Any failure abandons the
  // whole directory.
  explicit ProductDir_t(const Registry_t& registry);

  // The process-wide directory, built on first use from Registry_t::Instance()
  // (a failed build is tried again on the next use).
  static const ProductDir_t& Instance();

  // The product of that id; ProductNotFound_t when there is none.
  const Product_t& GetProduct(std::uint32_t productId) const;
  // The lowest product id (normally 0, the empty product).
  std::uint32_t GetDefaultProductId() const { return m_defaultProductId; }
  const std::map<std::uint32_t, Product_t>& GetProducts() const { return m_products; }

  // Checks the description file of the product against its signature: a
  // product that needs none and has none passes; a signature of another size
  // than 20 bytes is glo::Assert_t; a checksum that differs is glo::Exception_t
  // with the file's name (without folder and extension) as its message.
  static void CheckSignature(const Product_t& product);

 private:
  std::map<std::uint32_t, Product_t> m_products;
  std::uint32_t m_defaultProductId = 0;
};

}  // namespace tdb
