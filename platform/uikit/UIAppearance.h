#pragma once
// Per-class appearance defaults: what the app sets on a class's appearance proxy (for
// instance UIToolbar::appearance().setBarTintColor(...)) before its views are made. A value
// set for a class applies to every new object of that class and of its subclasses; a value set
// for a subclass, nil included (a cleared value), wins over its superclass's, so the most
// specific class decides. Objects that set a property themselves keep their own value.
//
// Values are kept by property key ("tintColor", "backgroundImage:0:0", ...), one key per
// property and state, as each class's proxy names them. Reading the values for a class first
// initialises the class (ClassRegistry::initializeClass), since a class's initialisation may
// clear what it does not want to inherit. Classes take part through the class registry; an
// unregistered class takes no appearance. Thread-safe, though views are made on the main thread.

#include <any>
#include <map>
#include <optional>
#include <string>

class UIAppearance {
 public:
  // Sets the class's value for key; a null pointer of the property's type is a cleared value.
  static void set(const std::string& className, const std::string& key, std::any value);
  // The values in force for an object of className: for every key, the value of the nearest
  // class up the chain that set it.
  static std::map<std::string, std::any> valuesFor(const std::string& className);
  // Forgets every class's values and which classes were initialised, as a fresh process.
  static void resetForTesting();
};
