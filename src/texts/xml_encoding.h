#pragma once
#include "no_qt.h"

#include <pugixml.hpp>

#include <string>

namespace trazvik::texts {

// The bytes of an XML file made ready for pugixml. pugixml itself reads
// UTF-8, UTF-16, UTF-32 and Latin-1; a file declared in another encoding
// (a Polish translator's "ISO-8859-2" or "windows-1250", for instance) is
// converted to UTF-8 first, so every text arrives in UTF-8.
struct PreparedXml {
  std::string bytes;
  pugi::xml_encoding encoding = pugi::encoding_auto;
};

// The encoding named in the XML declaration at the start of `bytes`, in
// lower case; empty when there is no declaration or no encoding in it.
std::string declaredEncoding(const std::string& bytes);

// Converts `bytes` as needed. Returns false with `error` set when the
// declared encoding is unknown or the bytes are not valid in it.
bool prepareXml(std::string bytes, PreparedXml& prepared, std::string& error);

}  // namespace trazvik::texts
