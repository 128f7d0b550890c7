#pragma once
// NSObject: the base of every platform and app object that takes part in the object
// runtime: its class name, kind-of tests through the class registry, and associated
// objects (per-object values keyed by text).
//
// How a class takes part:
//   // ShopController.h
//   class ShopController : public UIViewController {
//     TOVIRA_CLASS(ShopController)   // defines className() and staticClassName(); ends in public:
//     ...
//   };
//   // ShopController.cpp
//   TOVIRA_REGISTER_CLASS(ShopController, UIViewController)
//
// TOVIRA_REGISTER_CLASS registers the class at static-initialisation time and also defines
// a function `void toviraRegisterClass_ShopController()`. A linker drops an object file of
// a static library that nothing references, and its self-registration with it; so each
// library has one function (e.g. `registerToviraClasses()`) that declares these functions
// with TOVIRA_DECLARE_REGISTRATION(ShopController) and calls them, and the app and the
// tests call that function at start. Registering twice is harmless.
//
// The factory that create() uses is `T::create()` when T has one taking no arguments,
// otherwise `std::make_shared<T>()` when T is default-constructible, otherwise none
// (create() then gives nullptr, but the class still counts for kind-of tests). alloc() gives
// the bare object, `std::make_shared<T>()` with no initialiser run, for a caller that runs one
// itself (the keyed unarchiver runs initWithCoder).
//
// Class initialisation: a class may register a hook (ClassRegistry::setInitializer) that runs
// once for the class and once for each subclass, with that class's name, the first time
// initializeClass is asked for it (the platform asks when it first makes or styles an object
// of the class); a superclass is initialised before its subclasses.
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <type_traits>
#include <vector>

class NSCoder;

class NSObject : public std::enable_shared_from_this<NSObject> {
 public:
  NSObject() = default;
  // Copying an object copies none of its associated objects (as the platform's copy does).
  NSObject(const NSObject&) : std::enable_shared_from_this<NSObject>() {}
  NSObject& operator=(const NSObject&) { return *this; }
  virtual ~NSObject();

  static const char* staticClassName() { return "NSObject"; }
  virtual std::string className() const { return "NSObject"; }  // the registered name
  // True when this object's class is `name` or inherits from it, through the registry.
  bool isKindOfClass(const std::string& name) const;
  bool isMemberOfClass(const std::string& name) const { return className() == name; }
  // "<ClassName: 0x...>", what %@ prints for an object; subclasses may say more.
  virtual std::string description() const;

  // Made from an archive: the keyed unarchiver makes the bare object (ClassRegistry::alloc)
  // and calls this with the object's archived fields. Subclasses override it, calling the
  // base first, and read what they archived.
  virtual void initWithCoder(const NSCoder& /*coder*/) {}
  // Called on every object made from one archived interface once all of them are made and
  // initialised, so that an object may reach the others. Subclasses call the base first.
  virtual void awakeFromNib() {}

  // Associated objects: the object holds each value strongly until it is replaced, set to
  // nullptr, or the object dies. Thread-safe.
  void setAssociatedObject(const std::string& key, std::shared_ptr<void> value);
  std::shared_ptr<void> associatedObject(const std::string& key) const;
  template <class T>
  std::shared_ptr<T> associatedObjectAs(const std::string& key) const {  // caller knows the type
    return std::static_pointer_cast<T>(associatedObject(key));
  }

 private:
  mutable std::mutex associatedMutex_;
  std::map<std::string, std::shared_ptr<void>> associated_;
};

// The registry of classes by name: name -> superclass name + factory. Thread-safe.
// "NSObject" is always registered.
class ClassRegistry {
 public:
  using Factory = std::function<std::shared_ptr<NSObject>()>;
  using Initializer = std::function<void(const std::string& className)>;
  static void registerClass(const std::string& name, const std::string& superName, Factory make,
                            Factory alloc = nullptr);
  static std::shared_ptr<NSObject> create(const std::string& name);  // nullptr when unknown
  // The bare object, constructed but not initialised; nullptr when unknown or not
  // default-constructible.
  static std::shared_ptr<NSObject> alloc(const std::string& name);
  // The class-initialisation hook of `name` (replacing any). It runs for `name` and for each
  // subclass that has no hook of its own, with the class being initialised.
  static void setInitializer(const std::string& name, Initializer hook);
  // Initialises `name` once: its superclasses first, then the nearest hook up its chain. Safe
  // to call from a hook (a class being initialised is not initialised again). Any thread.
  static void initializeClass(const std::string& name);
  // Forgets which classes were initialised, so each hook runs again on next use (tests that
  // start the platform afresh).
  static void resetInitializedClassesForTesting();
  static bool exists(const std::string& name);
  static std::string superclassName(const std::string& name);  // "" for NSObject/unknown
  // True when name == ancestor or ancestor is among name's superclasses.
  static bool isSubclass(const std::string& name, const std::string& ancestor);
  static std::vector<std::string> allClassNames();  // sorted
};

namespace tovira_detail {
template <class T>
ClassRegistry::Factory factoryFor() {
  if constexpr (requires {
                  { T::create() } -> std::convertible_to<std::shared_ptr<NSObject>>;
                }) {
    return [] { return std::shared_ptr<NSObject>(T::create()); };
  } else if constexpr (std::is_default_constructible_v<T> && !std::is_abstract_v<T>) {
    return [] { return std::shared_ptr<NSObject>(std::make_shared<T>()); };
  } else {
    return nullptr;
  }
}
template <class T>
ClassRegistry::Factory allocFor() {
  if constexpr (std::is_default_constructible_v<T> && !std::is_abstract_v<T>) {
    return [] { return std::shared_ptr<NSObject>(std::make_shared<T>()); };
  } else {
    return nullptr;
  }
}
}  // namespace tovira_detail

#define TOVIRA_CLASS(Name)                                 \
 public:                                                   \
  static const char* staticClassName() { return #Name; }   \
  std::string className() const override { return #Name; } \
                                                           \
 public:

#define TOVIRA_REGISTER_CLASS(Name, Super)                                                         \
  void toviraRegisterClass_##Name() {                                                              \
    ::ClassRegistry::registerClass(#Name, #Super, ::tovira_detail::factoryFor<Name>(),             \
                                   ::tovira_detail::allocFor<Name>());                             \
  }                                                                                                \
  namespace {                                                                                      \
  [[maybe_unused]] const bool toviraClassRegistered_##Name = (toviraRegisterClass_##Name(), true); \
  }

#define TOVIRA_DECLARE_REGISTRATION(Name) void toviraRegisterClass_##Name()
