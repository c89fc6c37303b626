#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// A JSON document written as it is built, objects and arrays opened and
// closed in order, each member on a line of its own. A number is the
// shortest text that reads back as the same double, whatever the locale;
// one that is not finite is null, as JSON has no NaN or infinity.
class JsonWriter {
public:
    JsonWriter& OpenObject() { return Open('{'); }
    JsonWriter& OpenArray() { return Open('['); }
    JsonWriter& Close();
    // The name of the object's next member.
    JsonWriter& Key(std::string_view name);

    JsonWriter& Number(double value);
    JsonWriter& Number(const std::optional<double>& value) { return value ? Number(*value) : Null(); }
    JsonWriter& Integer(std::int64_t value);
    JsonWriter& Integer(const std::optional<std::int64_t>& value) { return value ? Integer(*value) : Null(); }
    JsonWriter& String(std::string_view text);
    JsonWriter& Boolean(bool value);
    JsonWriter& Null();

    // The document, once every object and array is closed, and a newline.
    std::string Text() const;

private:
    JsonWriter& Open(char bracket);
    // The separator and the line before the next value.
    void StartValue();
    JsonWriter& Raw(std::string_view text);

    std::string text_;
    // For each object or array open: its closing bracket and whether it
    // holds anything yet.
    struct Level {
        char closer;
        bool empty;
    };
    std::vector<Level> open_;
    bool afterKey_ = false;
};

} // namespace cli
