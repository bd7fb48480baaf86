// Script values: undefined, null, booleans, numbers, shared immutable text
// and references to heap objects (movie clips are objects too).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace avm1 {

class Object;

// Immutable UTF-8 text shared by reference count. Scripts run on one thread,
// so the count is a plain integer.
class String {
 public:
  String() = default;
  String(const char* s) : String(std::string(s)) {}  // NOLINT: literals convert freely
  String(std::string s);                                // NOLINT
  String(const String& o) : rep_(o.rep_) { if (rep_) ++rep_->refs; }
  String(String&& o) noexcept : rep_(o.rep_) { o.rep_ = nullptr; }
  String& operator=(const String& o) {
    if (o.rep_) ++o.rep_->refs;
    release();
    rep_ = o.rep_;
    return *this;
  }
  String& operator=(String&& o) noexcept {
    if (this != &o) {
      release();
      rep_ = o.rep_;
      o.rep_ = nullptr;
    }
    return *this;
  }
  ~String() { release(); }

  const std::string& str() const;
  const char* c_str() const { return str().c_str(); }
  size_t size() const { return rep_ ? rep_->text.size() : 0; }
  bool empty() const { return size() == 0; }
  // Length in UTF-16 units, as scripts count characters.
  size_t units() const;
  bool operator==(const String& o) const { return rep_ == o.rep_ || str() == o.str(); }
  bool operator!=(const String& o) const { return !(*this == o); }

 private:
  struct Rep {
    int refs = 1;
    int64_t units = -1;  // computed on first use
    std::string text;
  };
  void release() {
    if (rep_ && --rep_->refs == 0) destroy();
    rep_ = nullptr;
  }
  // Out of line: GCC's use-after-free check misreads the count otherwise.
  void destroy();
  Rep* rep_ = nullptr;  // null: the empty text
};

// A number as a 32-bit integer the way scripts convert it: whole part,
// wrapped modulo 2^32; NaN and infinities give 0.
int32_t wrapToInt32(double d);
// A number as a 32-bit integer the way the processor truncates it: NaN and
// anything out of range give the smallest integer.
int32_t saturateToInt32(double d);

class Value {
 public:
  enum class Type : uint8_t { Undefined, Null, Boolean, Number, String, Object };

  Value() : type_(Type::Undefined), number_(0) {}
  Value(double n) : type_(Type::Number), number_(n) {}  // NOLINT
  Value(int n) : type_(Type::Number), number_(n) {}     // NOLINT
  Value(bool b) : type_(Type::Boolean), number_(b ? 1 : 0) {}  // NOLINT
  Value(String s) : type_(Type::String), number_(0), text_(std::move(s)) {}  // NOLINT
  Value(const char* s) : Value(String(s)) {}  // NOLINT
  Value(Object* o);  // NOLINT: null gives the null value
  // Pointers to objects of classes not defined where the call is made would
  // become booleans; they do not compile instead.
  Value(const void*) = delete;
  static Value null() {
    Value v;
    v.type_ = Type::Null;
    return v;
  }

  Type type() const { return type_; }
  bool isUndefined() const { return type_ == Type::Undefined; }
  bool isNull() const { return type_ == Type::Null; }
  bool isNullish() const { return type_ == Type::Undefined || type_ == Type::Null; }
  bool isBoolean() const { return type_ == Type::Boolean; }
  bool isNumber() const { return type_ == Type::Number; }
  bool isString() const { return type_ == Type::String; }
  bool isObject() const { return type_ == Type::Object; }

  // Raw contents; only meaningful for the matching type.
  double number() const { return number_; }
  bool boolean() const { return number_ != 0; }
  const String& string() const { return text_; }
  Object* object() const { return type_ == Type::Object ? object_ : nullptr; }

 private:
  Type type_;
  union {
    double number_;
    Object* object_;
  };
  String text_;
};

}  // namespace avm1
