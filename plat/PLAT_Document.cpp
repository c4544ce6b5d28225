#include "plat/PLAT_Document.h"

#include <algorithm>

#include "plat/PLAT_Window.h"

namespace plat {

View_t::~View_t() {
  if (m_document != nullptr) m_document->RemoveView(*this);
}

void View_t::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void View_t::OnUpdate(View_t*, long, void*) { GetViewWnd().Invalidate(true); }

Document_t::~Document_t() {
  for (View_t* v : m_views) v->m_document = nullptr;
}

void Document_t::AddView(View_t& view) {
  if (view.m_document == this) return;
  if (view.m_document != nullptr) view.m_document->RemoveView(view);
  m_views.push_back(&view);
  view.m_document = this;
}

void Document_t::RemoveView(View_t& view) {
  m_views.erase(std::remove(m_views.begin(), m_views.end(), &view), m_views.end());
  if (view.m_document == this) view.m_document = nullptr;
}

void Document_t::UpdateAllViews(View_t* sender, long hint, void* object) {
  // A view may leave while the others are told: work on a copy.
  const std::vector<View_t*> views = m_views;
  for (View_t* v : views)
    if (v != sender && std::find(m_views.begin(), m_views.end(), v) != m_views.end()) v->OnUpdate(sender, hint, object);
}

void Document_t::SendInitialUpdate() {
  const std::vector<View_t*> views = m_views;
  for (View_t* v : views)
    if (std::find(m_views.begin(), m_views.end(), v) != m_views.end()) v->OnInitialUpdate();
}

}  // namespace plat
