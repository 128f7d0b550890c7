#pragma once
// Target-action glue: an action is any callable taking the sender (as the base class, as its
// own class, or nothing). The target is held weakly: once it is gone the action is skipped.
// An empty target means "no owner" and the action always runs.

#include <functional>
#include <memory>
#include <type_traits>

namespace target_action_detail {
template <class T>
struct FirstArg;
template <class R, class C, class A>
struct FirstArg<R (C::*)(A) const> {
  using type = A;
};
template <class R, class C, class A>
struct FirstArg<R (C::*)(A)> {
  using type = A;
};
template <class F, class = void>
struct CallableArg {
  using type = void;
};
template <class F>
struct CallableArg<F, std::void_t<decltype(&F::operator())>> {
  using type = typename FirstArg<decltype(&F::operator())>::type;
};
}  // namespace target_action_detail

// Wraps `action` into a function of the base sender type Base, casting to the callable's own
// parameter type when it names a subclass.
template <class Base, class F>
std::function<void(Base&)> makeSenderAction(F action) {
  if constexpr (std::is_invocable_v<F&, Base&>) {
    return [a = std::move(action)](Base& s) mutable { a(s); };
  } else if constexpr (std::is_invocable_v<F&>) {
    return [a = std::move(action)](Base&) mutable { a(); };
  } else {
    using Arg = std::remove_cv_t<
        std::remove_reference_t<typename target_action_detail::CallableArg<F>::type>>;
    static_assert(std::is_base_of_v<Base, Arg>, "the action's parameter must be the sender's type");
    return [a = std::move(action)](Base& s) mutable {
      if (auto* d = dynamic_cast<Arg*>(&s)) a(*d);
    };
  }
}

// A weak target with the knowledge whether one was given at all.
struct WeakTarget {
  WeakTarget() = default;
  WeakTarget(std::weak_ptr<void> t) : target(std::move(t)), hasTarget(!isEmpty(target)) {}
  template <class T>
  WeakTarget(const std::shared_ptr<T>& t) : WeakTarget(std::weak_ptr<void>(t)) {}
  template <class T>
  WeakTarget(const std::weak_ptr<T>& t) : WeakTarget(std::weak_ptr<void>(t)) {}
  WeakTarget(std::nullptr_t) {}
  bool alive() const { return !hasTarget || !target.expired(); }
  bool is(const void* p) const { return hasTarget && target.lock().get() == p; }
  static bool isEmpty(const std::weak_ptr<void>& w) {
    std::weak_ptr<void> empty;
    return !w.owner_before(empty) && !empty.owner_before(w);
  }
  std::weak_ptr<void> target;
  bool hasTarget = false;
};
