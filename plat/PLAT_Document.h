#pragma once
// Documents and their views. A document holds the program's data and knows
// the views that show it; UpdateAllViews tells each view (but the sender) that
// the data changed. A view is a window of any kind that also derives View_t.
#include <vector>

#include "plat/PLAT_CmdTarget.h"

namespace plat {

class Wnd_t;
class Document_t;

class View_t {
 public:
  View_t() = default;
  View_t(const View_t&) = delete;
  View_t& operator=(const View_t&) = delete;
  // Leaves its document.
  virtual ~View_t();

  Document_t* GetDocument() const { return m_document; }
  // The view's window.
  virtual Wnd_t& GetViewWnd() = 0;
  // The document has been attached and the frame is ready: by default an update.
  virtual void OnInitialUpdate();
  // The document changed: 'sender' is the view that caused it (or null), hint
  // and object say what changed. By default the view is repainted.
  virtual void OnUpdate(View_t* sender, long hint, void* object);

 private:
  friend class Document_t;
  Document_t* m_document = nullptr;
};

class Document_t : public CmdTarget_t {
 public:
  Document_t() = default;
  Document_t(const Document_t&) = delete;
  Document_t& operator=(const Document_t&) = delete;
  // Its views stay, without a document.
  ~Document_t() override;

  // Attaches a view (leaving any other document) / detaches it.
  void AddView(View_t& view);
  void RemoveView(View_t& view);
  const std::vector<View_t*>& GetViews() const { return m_views; }

  // OnUpdate of every view but the sender, in the order they were added.
  void UpdateAllViews(View_t* sender, long hint = 0, void* object = nullptr);
  // OnInitialUpdate of every view.
  void SendInitialUpdate();


 private:
  std::vector<View_t*> m_views;
};

}  // namespace plat
