// A streaming JSON writer for nested --json output: objects and arrays with
// their commas, values in the forms of json_text.h.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace trazvik::cli {

class JsonWriter {
 public:
  JsonWriter& beginObject();
  JsonWriter& endObject();
  JsonWriter& beginArray();
  JsonWriter& endArray();
  JsonWriter& key(std::string_view k);
  JsonWriter& value(std::string_view s);
  JsonWriter& value(const char* s) { return value(std::string_view(s)); }
  JsonWriter& value(double v);  // not finite -> null
  JsonWriter& value(int v) { return value(static_cast<long long>(v)); }
  JsonWriter& value(long long v);
  JsonWriter& value(bool b);
  JsonWriter& null();

  const std::string& text() const { return out_; }

 private:
  void comma();
  std::string out_;
  std::vector<bool> first_;  // per open container: nothing written yet
  bool afterKey_ = false;
};

}  // namespace trazvik::cli
