#include "screens/destination_rules.h"

bool DestinationTextAcceptable(const std::string& text) {
  return text.size() >= 2 && text[0] >= 'A' && text[0] <= 'Z' && text[1] == ':';
}

bool HasWildcards(const std::string& text) { return text.find_first_of("*?") != std::string::npos; }
