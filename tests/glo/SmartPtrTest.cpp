#include <gtest/gtest.h>

#include <type_traits>
#include <utility>

#include "glo/GLO_AutoPtr.h"
#include "glo/GLO_NonCopyable.h"

namespace {

// Counts its live instances; may hold a pointer to another counted object.
struct Counted_t : glo::RefCounter_t {
  explicit Counted_t(int* live) : live(live) { ++*live; }
  ~Counted_t() override { --*live; }
  int* live;
  glo::SmartPtr_t<Counted_t> child;
};

TEST(SmartPtr, LastReleaseDeletesOnce) {
  int live = 0;
  {
    glo::SmartPtr_t<Counted_t> a(new Counted_t(&live));
    EXPECT_EQ(1, a->RefCount());
    {
      glo::SmartPtr_t<Counted_t> b(a);
      glo::SmartPtr_t<Counted_t> c;
      c = b;
      EXPECT_EQ(3, a->RefCount());
    }
    EXPECT_EQ(1, a->RefCount());
    EXPECT_EQ(1, live);
  }
  EXPECT_EQ(0, live);
}

TEST(SmartPtr, SelfAssignmentKeepsTheCount) {
  int live = 0;
  glo::SmartPtr_t<Counted_t> a(new Counted_t(&live));
  glo::SmartPtr_t<Counted_t>& alias = a;
  a = alias;
  a = a.Get();
  EXPECT_EQ(1, a->RefCount());
  EXPECT_EQ(1, live);
}

TEST(SmartPtr, AssigningAPointerTheOldObjectOwnsKeepsIt) {
  // The only reference to the parent is replaced by the parent's own child: the
  // child must be counted before the parent (and with it the child's other
  // reference) goes.
  int live = 0;
  glo::SmartPtr_t<Counted_t> p(new Counted_t(&live));
  p->child = new Counted_t(&live);
  Counted_t* child = p->child.Get();
  p = p->child;
  EXPECT_EQ(1, live);
  EXPECT_EQ(child, p.Get());
  EXPECT_EQ(1, p->RefCount());
  p = nullptr;
  EXPECT_EQ(0, live);
}

TEST(SmartPtr, CopyOfACountedObjectStartsUncounted) {
  int live = 0;
  glo::SmartPtr_t<Counted_t> a(new Counted_t(&live));
  glo::SmartPtr_t<Counted_t> b(new Counted_t(*a));
  EXPECT_EQ(1, a->RefCount());
  EXPECT_EQ(1, b->RefCount());
}

TEST(SmartPtr, NullAccessIsAnAssertion) {
  glo::SmartPtr_t<Counted_t> empty;
  EXPECT_FALSE(empty);
  EXPECT_THROW((void)empty->RefCount(), glo::Assert_t);
}

struct Base_t {
  virtual ~Base_t() = default;
};
struct Derived_t : Base_t {
  explicit Derived_t(int* live) : live(live) { ++*live; }
  ~Derived_t() override { --*live; }
  int* live;
};

TEST(AutoPtr, OwnsAndDeletesThroughTheBase) {
  int live = 0;
  {
    glo::AutoPtr_t<Base_t> owner(new Derived_t(&live));
    EXPECT_EQ(1, live);
    glo::AutoPtr_t<Base_t> moved(std::move(owner));
    EXPECT_FALSE(owner);
    EXPECT_EQ(1, live);
    moved.Reset();
    EXPECT_EQ(0, live);
    EXPECT_EQ(nullptr, moved.Get());
    moved.Reset(new Derived_t(&live));
  }
  EXPECT_EQ(0, live);
}

TEST(AutoPtr, AccessThroughAnEmptyPointerIsAnAssertion) {
  glo::AutoPtr_t<int> empty;
  try {
    (void)*empty;
    FAIL() << "no exception";
  } catch (const glo::Assert_t& e) {
    EXPECT_STREQ("GLO_AutoPtr.h", e.SourceFile());
  }
  glo::AutoPtr_t<Base_t> emptyBase;
  EXPECT_THROW((void)emptyBase.operator->(), glo::Assert_t);
}

TEST(Array, ZeroFilledAndBounded) {
  glo::Array_t<char> buffer(300);
  ASSERT_EQ(300u, buffer.Size());
  for (std::size_t i = 0; i < buffer.Size(); ++i) ASSERT_EQ('\0', buffer[i]);
  EXPECT_THROW(buffer[300], glo::Assert_t);

  glo::Array_t<unsigned long> filled(3, 7ul);
  glo::Array_t<unsigned long> copy(filled);
  copy[0] = 1;
  EXPECT_EQ(7ul, filled[0]);
  EXPECT_EQ(7ul, copy[2]);
}

TEST(TwoDArray, ElementXYIsAtRowMajorIndex) {
  glo::TwoDArray_t<unsigned long> pixels(4, 3, 0xFFu);
  pixels.At(2, 1) = 42;
  EXPECT_EQ(42ul, pixels[1 * 4 + 2]);
  EXPECT_EQ(0xFFul, pixels.At(3, 2));
  EXPECT_THROW(pixels.At(4, 0), glo::Assert_t);
  EXPECT_THROW(pixels.At(0, 3), glo::Assert_t);
}

// A destructor that throws (which the program's own classes never do): resetting
// the owner must swallow it rather than end the process.
struct Throwing_t {
  explicit Throwing_t(int* destroyed) : destroyed(destroyed) {}
  ~Throwing_t() noexcept(false) {
    ++*destroyed;
    throw glo::Assert_t(GLO_SRC);
  }
  int* destroyed;
};

TEST(AutoPtr, ExceptionOfTheDeletedObjectIsDiscarded) {
  int destroyed = 0;
  glo::AutoPtr_t<Throwing_t> owner(new Throwing_t(&destroyed));
  owner.Reset(new Throwing_t(&destroyed));
  EXPECT_EQ(1, destroyed);
  owner.Reset();
  EXPECT_EQ(2, destroyed);
  EXPECT_EQ(nullptr, owner.Get());
}

struct Window_t : glo::NonCopyable_t {};
static_assert(std::is_default_constructible_v<Window_t>);
static_assert(!std::is_copy_constructible_v<Window_t>);
static_assert(!std::is_copy_assignable_v<Window_t>);

}  // namespace
