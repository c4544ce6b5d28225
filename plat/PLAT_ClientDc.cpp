#include "plat/PLAT_ClientDc.h"

#include <QPainter>
#include <QWidget>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_GdiImpl.h"
#include "plat/PLAT_WindowImpl.h"

namespace plat {

namespace detail {

const GdiHandle_t& EnsureFrontBuffer(WndImpl& impl) {
  const QSize size = impl.widget ? impl.widget->size().expandedTo(QSize(1, 1)) : QSize(1, 1);
  if (impl.front.IsNull() || impl.front.Data()->image.size() != size) {
    auto d = NewObject(GdiKind::Bitmap);
    d->image = QImage(size, QImage::Format_RGB32);
    d->image.fill(0xFFFFFFFFu);
    impl.front = GdiHandle_t(d);
    impl.frontStale = true;
  }
  return impl.front;
}

void PaintThroughFrontBuffer(WndImpl& impl) {
  const GdiHandle_t front = EnsureFrontBuffer(impl);
  if (impl.frontStale) {
    // Cleared first: an invalidation while the program paints asks again.
    impl.frontStale = false;
    Dc_t dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(front);
    impl.CallPaint(dc);
  }
  if (impl.widget == nullptr) return;
  QPainter painter(impl.widget);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(0, 0, front.Data()->image);
}

}  // namespace detail

void WndImpl::CallPaint(Dc_t& dc) {
  detail::Guard([&] {
    owner->OnEraseBkgnd(dc);
    owner->OnPaint(dc);
  });
}

void Wnd_t::EnableFrontBuffer(bool enable) {
  m_impl->frontEnabled = enable;
  if (!enable) m_impl->front.Reset();
  m_impl->frontStale = true;
  if (QWidget* w = m_impl->widget) w->update();
}

bool Wnd_t::HasFrontBuffer() const { return m_impl->frontEnabled; }

GdiHandle_t Wnd_t::GetFrontBuffer() const { return m_impl->frontEnabled ? m_impl->front : GdiHandle_t(); }

ClientDc_t::ClientDc_t(Wnd_t& window) {
  WndImpl* impl = window.Impl();
  if (impl == nullptr || impl->widget == nullptr || !impl->frontEnabled) {
    SetLastError(kErrorInvalidWindowHandle);
    return;
  }
  CreateCompatibleDC(nullptr);
  SelectObject(detail::EnsureFrontBuffer(*impl));
  m_window = window.GetSafeHwnd();
}

ClientDc_t::~ClientDc_t() {
  if (m_window == 0) return;
  if (Wnd_t* w = Wnd_t::FromHandle(m_window))
    if (QWidget* widget = w->Impl()->widget) widget->update();
}

}  // namespace plat
