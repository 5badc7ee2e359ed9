// The yardstick of the description's XML round trip: pugixml's bare DOM
// load of a file and save of the same document, nothing else. Timed as a
// whole process (/usr/bin/time -v) beside `lapforge export xml`.
//
// Usage: pugixml_load_save IN.xml OUT.xml
#include <cstdio>
#include <pugixml.hpp>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: pugixml_load_save IN.xml OUT.xml\n");
    return 2;
  }
  pugi::xml_document doc;
  if (pugi::xml_parse_result r = doc.load_file(argv[1]); !r) {
    std::fprintf(stderr, "%s: %s at offset %lld\n", argv[1], r.description(), static_cast<long long>(r.offset));
    return 1;
  }
  return doc.save_file(argv[2]) ? 0 : 1;
}
