#include "mpl/MPL_EngineImage.h"

#include "mpl/MPL_FileMedia.h"

namespace mpl {

ImageSource_t::ImageSource_t(const std::string& path, bool readOnly, const std::string& promptText,
                             dsk::MediaPrompterIntf_t* prompter, plat::Handle stopEvent, unsigned cacheBlocks) {
  FileMedia_t* media = new FileMedia_t(path, readOnly, promptText, prompter, stopEvent);
  m_mediaOwner = media;
  m_media = media;
  Build(cacheBlocks);
}

ImageSource_t::ImageSource_t(dsk::Media_t& media, const glo::SmartPtr_t<glo::RefCounter_t>& owner,
                             unsigned cacheBlocks)
    : m_mediaOwner(owner), m_media(&media) {
  Build(cacheBlocks);
}

void ImageSource_t::Build(unsigned cacheBlocks) {
  m_disk = new dsk::Disk_t(*m_media, cacheBlocks);
  m_partition = &m_disk->GetPartition(0);
  m_open = true;
}

ImageSource_t& ImageSource_t::operator=(const ImageSource_t& other) {
  if (this == &other) return *this;
  // The new references are taken before the old ones go.
  glo::SmartPtr_t<glo::RefCounter_t> owner = other.m_mediaOwner;
  glo::SmartPtr_t<dsk::Disk_t> disk = other.m_disk;
  m_disk = disk;
  m_mediaOwner = owner;
  m_media = other.m_media;
  m_partition = other.m_partition;
  m_open = other.m_open;
  return *this;
}

ImageSource_t::~ImageSource_t() {
  m_partition = nullptr;
  m_disk = nullptr;
  m_mediaOwner = nullptr;
}

}  // namespace mpl
