#include "core/JsonReader.h"

#include <nlohmann/json.hpp>
#include <utility>
#include <vector>

namespace {

constexpr size_t kMaxDepth = 512;

// Builds the Value as the parser reports it: open containers wait on a stack, and a finished
// value goes into the container on top (under the pending key of a dictionary).
class ValueBuilder : public nlohmann::json_sax<nlohmann::json> {
 public:
  std::optional<Value> result;

  void reserve(size_t depth) { stack_.reserve(depth); }

  bool null() override { return add(Value::null()); }
  bool boolean(bool b) override { return add(Value::boolean(b)); }
  bool number_integer(number_integer_t n) override { return add(Value(static_cast<long long>(n))); }
  bool number_unsigned(number_unsigned_t n) override {
    return add(Value(static_cast<unsigned long long>(n)));
  }
  bool number_float(number_float_t d, const string_t&) override {
    return add(Value(static_cast<double>(d)));
  }
  bool string(string_t& s) override { return add(Value(std::move(s))); }
  bool binary(binary_t&) override { return false; }  // not produced by JSON text

  bool start_object(std::size_t) override { return open(true); }
  bool key(string_t& k) override {
    stack_.back().key = std::move(k);
    return true;
  }
  bool end_object() override { return close(); }
  bool start_array(std::size_t) override { return open(false); }
  bool end_array() override { return close(); }

  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
    return false;
  }

 private:
  struct Open {
    bool isDict;
    Value::Dict dict;
    Value::Array array;
    std::string key;
  };

  bool open(bool isDict) {
    if (stack_.size() >= kMaxDepth) return false;
    stack_.push_back(Open{isDict, {}, {}, {}});
    return true;
  }

  bool close() {
    Open top = std::move(stack_.back());
    stack_.pop_back();
    return add(top.isDict ? Value(std::move(top.dict)) : Value(std::move(top.array)));
  }

  bool add(Value v) {
    if (stack_.empty()) {
      result = std::move(v);
    } else if (stack_.back().isDict) {
      // A repeated key keeps its last value.
      stack_.back().dict.insert_or_assign(std::move(stack_.back().key), std::move(v));
    } else {
      stack_.back().array.push_back(std::move(v));
    }
    return true;
  }

  std::vector<Open> stack_;
};

}  // namespace

std::optional<Value> JsonReader::parse(std::string_view text) {
  ValueBuilder builder;
  builder.reserve(16);
  const bool ok = nlohmann::json::sax_parse(text.begin(), text.end(), &builder,
                                            nlohmann::json::input_format_t::json, /*strict=*/true);
  if (!ok) return std::nullopt;
  return builder.result;
}
