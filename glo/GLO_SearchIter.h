#pragma once
// Forward iteration over the results of a search that a source object runs in steps:
//  GetFirst_t  binds a source and its member that starts a search: it fills a
//              workspace with the search state and gives the first record or none;
//  GetNext_t   binds a source and its member that continues it: from the current
//              record and the workspace it gives the next record or none;
//  SearchIter_t holds the GetNext binding, its own workspace and a heap copy of the
//              current record (none at the end). Copies take their own copy of the
//              record and of the workspace; iterators compare by their record
//              pointers, so an iterator equals end() exactly when it is at the end;
//  SearchRange_t the binding a search factory returns: begin() runs GetFirst.
#include <cstddef>
#include <iterator>
#include <utility>

#include "glo/GLO_AutoPtr.h"
#include "glo/GLO_Exception.h"

namespace glo {

template <typename Source, typename Record, typename Workspace, typename Criteria>
class GetFirst_t {
 public:
  using Member_t = AutoPtr_t<Record> (Source::*)(Workspace& workspace, const Criteria& criteria);

  GetFirst_t(Source* source, Member_t member) : m_source(source), m_member(member) {}
  AutoPtr_t<Record> operator()(Workspace& workspace, const Criteria& criteria) const {
    return (GLO_ASSERT(m_source)->*m_member)(workspace, criteria);
  }

 private:
  Source* m_source;
  Member_t m_member;
};

template <typename Source, typename Record, typename Workspace>
class GetNext_t {
 public:
  using Member_t = AutoPtr_t<Record> (Source::*)(const Record& current, Workspace& workspace);

  GetNext_t(Source* source, Member_t member) : m_source(source), m_member(member) {}
  AutoPtr_t<Record> operator()(const Record& current, Workspace& workspace) const {
    return (GLO_ASSERT(m_source)->*m_member)(current, workspace);
  }

 private:
  Source* m_source;
  Member_t m_member;
};

template <typename Source, typename Record, typename Workspace, typename Criteria>
class SearchIter_t {
 public:
  using GetFirstFn_t = GetFirst_t<Source, Record, Workspace, Criteria>;
  using GetNextFn_t = GetNext_t<Source, Record, Workspace>;

  using iterator_category = std::forward_iterator_tag;
  using value_type = Record;
  using difference_type = std::ptrdiff_t;
  using pointer = const Record*;
  using reference = const Record&;

  // The end iterator.
  SearchIter_t() = default;

  // Starts the search: GetFirst fills the workspace and gives the first record.
  SearchIter_t(const GetFirstFn_t& getFirst, const GetNextFn_t& getNext, const Criteria& criteria)
      : m_getNext(new GetNextFn_t(getNext)), m_workspace(), m_record(getFirst(m_workspace, criteria)) {}

  SearchIter_t(const SearchIter_t& other)
      : m_getNext(other.m_getNext ? new GetNextFn_t(*other.m_getNext) : nullptr),
        m_workspace(other.m_workspace),
        m_record(other.m_record ? new Record(*other.m_record) : nullptr) {}
  SearchIter_t& operator=(const SearchIter_t& other) {
    if (this != &other) {
      SearchIter_t copy(other);
      Swap(copy);
    }
    return *this;
  }
  virtual ~SearchIter_t() = default;

  // The current record; Assert_t at the end.
  const Record& operator*() const { return *m_record; }
  const Record* operator->() const { return m_record.operator->(); }

  // Moves to the next record; Assert_t at the end.
  SearchIter_t& operator++() {
    const Record& current = *m_record;
    AutoPtr_t<Record> next = (*m_getNext)(current, m_workspace);
    m_record = std::move(next);
    return *this;
  }
  SearchIter_t operator++(int) {
    SearchIter_t old(*this);
    ++*this;
    return old;
  }

  friend bool operator==(const SearchIter_t& a, const SearchIter_t& b) {
    return a.m_record.Get() == b.m_record.Get();
  }

 private:
  void Swap(SearchIter_t& other) noexcept {
    std::swap(m_getNext, other.m_getNext);
    std::swap(m_workspace, other.m_workspace);
    std::swap(m_record, other.m_record);
  }

  AutoPtr_t<GetNextFn_t> m_getNext;
  Workspace m_workspace{};
  AutoPtr_t<Record> m_record;
};

template <typename Source, typename Record, typename Workspace, typename Criteria>
class SearchRange_t {
 public:
  using Iterator_t = SearchIter_t<Source, Record, Workspace, Criteria>;

  SearchRange_t(const typename Iterator_t::GetFirstFn_t& getFirst,
                const typename Iterator_t::GetNextFn_t& getNext, const Criteria& criteria)
      : m_getFirst(getFirst), m_getNext(getNext), m_criteria(criteria) {}

  Iterator_t begin() const { return Iterator_t(m_getFirst, m_getNext, m_criteria); }
  Iterator_t end() const { return Iterator_t(); }

 private:
  typename Iterator_t::GetFirstFn_t m_getFirst;
  typename Iterator_t::GetNextFn_t m_getNext;
  Criteria m_criteria;
};

}  // namespace glo
