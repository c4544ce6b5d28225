#include "mpl/MPL_MapDirectory.h"

#include <algorithm>

#include "dsk/DSK_Directory.h"
#include "dsk/DSK_FileBuffer.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_Locale.h"
#include "mpl/MPL_Subfile.h"
#include "plat/PLAT_Event.h"
#include "tdb/TDB_ProductDir.h"
#include "win/WIN_Handle.h"

namespace mpl {

namespace {

constexpr unsigned kIndexImageCache = 8;
constexpr std::uint16_t kDefaultCodePage = 1252;

}  // namespace

std::vector<std::string> ListImageFiles(const ImageSource_t& image, const std::string& extension) {
  std::vector<std::string> names;
  if (!image.IsOpen() || !image.Partition()) return names;
  const dsk::Directory_t& root = image.Partition()->GetRootDirectory();
  for (auto it = root.Begin(); it != root.End(); ++it) {
    const std::string name = (*it).GetName();
    if (name.find(extension) != std::string::npos) names.push_back(name.substr(0, name.find('.')));
  }
  // Directory order, by whole entry names: "A-B.TRE" comes before "A.TRE".
  return names;
}

MapDirectory_t::MapDirectory_t() : m_locale(glo::DefaultLocale()) { MdbIndexContextClear(m_index); }

MapDirectory_t::~MapDirectory_t() {
  try {
    Clear();
    CloseContext();
  } catch (...) {
  }
}

void MapDirectory_t::CloseContext() {
  MdbCloseIndex(m_index);
  m_index.source = ImageSource_t();
}

MapDirectory_t& MapDirectory_t::Instance() {
  static MapDirectory_t directory;
  directory.Update(tdb::ProductDir_t::Instance().GetDefaultProductId(), tdb::Registry_t::Instance());
  return directory;
}

void MapDirectory_t::Update(std::uint32_t defaultProductId, const tdb::Registry_t& registry) {
  const std::uint16_t familyId = static_cast<std::uint16_t>(defaultProductId >> 16);
  if (familyId == 0) {
    m_productId = 0;
    Clear();
    return;
  }
  if (defaultProductId == m_productId) return;
  // The product is remembered first: a product whose index fails is not tried
  // again, and the previous family's index goes before anything can fail.
  m_productId = defaultProductId;
  Clear();
  const auto& families = registry.GetFamilies();
  const auto family = families.find(familyId);
  GLO_ASSERT(family != families.end());
  if (!family->second.mdr.IsPresent()) return;

  win::Handle_t stopEvent(plat::CreateEvent(true, false));
  ImageSource_t image(family->second.mdr.Value(), true, std::string(), nullptr, stopEvent.Get(), kIndexImageCache);
  const std::vector<std::string> names = ListImageFiles(image, ".MDR");
  GLO_ASSERT(!names.empty());
  Load(image, names.front());
}

void MapDirectory_t::Load(const ImageSource_t& image, const std::string& indexName) {
  Clear();
  const std::vector<std::string> sortNames = ListImageFiles(image, ".SRT");
  const bool hasSort = std::find(sortNames.begin(), sortNames.end(), indexName) != sortNames.end();
  m_index.section16 = &m_section16;
  if (MdbOpenIndex(m_index, indexName, hasSort ? &indexName : nullptr, image, m_locale) != kMdbDone) {
    Clear();
    throw glo::Assert_t(GLO_SRC);
  }
  m_index.section16 = &m_section16;
  const std::uint16_t codePage = m_index.sortCodePage ? m_index.sortCodePage : kDefaultCodePage;
  m_locale = glo::MakeLocale("English", "United States", codePage);
  m_index.locale = m_locale;
  const MdrSection_t& s16 = m_index.sections[16];
  if (s16.count != 0 && s16.recordSize != 0) {
    // Records that cannot lie in the MDR are refused before anything is allocated.
    if (std::uint64_t(s16.recordSize) * s16.count > MdbSize(m_index.mdr.file) ||
        MdbReadIndexSection16(m_index) != kMdbDone) {
      Clear();
      throw glo::Assert_t(GLO_SRC);
    }
  }
}

void MapDirectory_t::Clear() {
  MdbCloseIndex(m_index);
  std::vector<std::uint8_t>().swap(m_section16);
  for (auto& list : m_lists) list.clear();
}

bool MapDirectory_t::IsIndexOpen() const { return MdbIsOpen(m_index.mdr.file); }

}  // namespace mpl
