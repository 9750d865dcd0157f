#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quillon::sim::json {

// Just enough JSON for the simulator's state file: objects, arrays,
// strings, integers, booleans and null. The reader refuses rather than
// guesses: deep nesting, numbers that are not integers, bad escapes and
// trailing text are errors.
struct Value {
    enum class Type { Null, Bool, Int, String, Array, Object };
    Type type = Type::Null;
    bool boolean = false;
    int64_t integer = 0;
    std::string text;
    std::vector<Value> items;                            // Array
    std::vector<std::pair<std::string, Value>> members;  // Object, in file order

    static Value Int(int64_t v);
    static Value Str(std::string s);
    static Value Bool(bool b);
    static Value Arr();
    static Value Obj();
    Value& Add(Value v);                          // array element
    Value& Set(const std::string& key, Value v);  // object member

    const Value* Find(const std::string& key) const;
};

struct ParseResult {
    std::optional<Value> value;
    std::string error;  // with the byte offset where reading stopped
};

ParseResult Parse(const std::string& text);
// Two-space indentation, members in their order, one item per line except
// that arrays of scalars stay on one line.
std::string Write(const Value& v);

}  // namespace quillon::sim::json
