// A small writer of one-line JSON documents for orxtool's --json output. Portable.
//
//   JsonWriter j;
//   j.begin_object();
//   j.field("command", "info");
//   j.begin_array("words"); j.value(1u); j.value(2u); j.end_array();
//   j.close_all();            // ends whatever is still open
//   puts(j.text().c_str());
//
// Commas and nesting are tracked; strings are escaped; non-finite numbers become null.
#ifndef ORXTOOL_JSON_H
#define ORXTOOL_JSON_H

#include <string>
#include <type_traits>
#include <vector>

class JsonWriter {
  public:
    // `key` names the member of an object; array elements (and the document) take none.
    void begin_object(const char* key = nullptr);
    void begin_array(const char* key = nullptr);
    // Each ends the innermost open container, which the caller began as that kind.
    void end_object();
    void end_array();
    void close_all();
    // Ends open containers until `depth` remain (1: only the outermost).
    void close_to(size_t depth);

    void field(const char* key, const char* text); // null pointer: null
    void field(const char* key, const std::string& text);
    template <typename T, typename = std::enable_if_t<std::is_integral<T>::value>>
    void field(const char* key, T number) {
        integer(key, (long long)number);
    }
    void field(const char* key, double number, int decimals = 6);
    void field(const char* key, bool flag);

    // Array elements.
    void value(const char* text) { field(nullptr, text); }
    template <typename T, typename = std::enable_if_t<std::is_integral<T>::value>>
    void value(T number) {
        integer(nullptr, (long long)number);
    }
    void value(double number, int decimals = 6) { field(nullptr, number, decimals); }

    const std::string& text() const { return out_; }

  private:
    void member(const char* key);
    void integer(const char* key, long long number);
    std::string out_;
    std::vector<char> open_;  // '}' or ']' per open container
    std::vector<bool> first_; // no member written yet in that container
};

// `text` as a JSON string literal, quotes included; bytes outside printable ASCII are
// written as \u00XX.
std::string json_quote(const char* text);

#endif
